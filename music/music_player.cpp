#include "music/music_player.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "media/sound_list.h"
#include "music/media_player2.h"
#include "res/string_table.h"

MusicPlayer::MusicPlayer(CSaverSettings& settings, QObject* parent) : QObject(parent), settings_(settings) {}

MusicPlayer::~MusicPlayer() { Stop(); }

std::string MusicPlayer::MciOpenCommand(const std::string& path)
{
    std::string quoted;
    for (char c : path) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return "open \"" + quoted + "\" alias tsvsound";
}

void MusicPlayer::Start()
{
    if (started_ || stopped_)
        return;
    started_ = true;
    if (settings_.SoundFiles.empty())
        return;

    if (settings_.SndUseMCI == 0) {
        auto control = std::make_unique<CMediaPlayer2>();
        if (control->Create()) {
            control->SetAutoStart(true);
            control->SetSendErrorEvents(true);
            control->SetSendPlayStateChangeEvents(true);
            connect(control.get(), &CMediaPlayer2::EndOfStream, this, &MusicPlayer::OnEndOfStreamMediaPlayer);
            connect(control.get(), &CMediaPlayer2::Error, this, &MusicPlayer::OnErrorMediaPlayer);
            control_ = std::move(control);
            Log("         Using Windows Media Player Control");
        } else {
            Log("ScrInit: Can't Create Windows Media Player Control, Using MCI");
        }
    }

    if (control_)
        PlayMusicMP();
    else
        PlayMusicMCI();
}

void MusicPlayer::Supervise()
{
    if (!started_ || stopped_ || settings_.SoundFiles.empty())
        return;
    if (control_) {
        int state = control_->GetPlayState();
        if (state != CMediaPlayer2::kPlaying && state != CMediaPlayer2::kWaiting) {
            Log("Music Not Playing: State=%d, now playing again", state);
            PlayMusicMP();
        }
    } else if (!mciOpen_) {
        Log("Music Not Playing, now playing again");
        PlayMusicMCI();
    }
}

void MusicPlayer::Stop()
{
    if (mciOpen_) {
        // Errors here are of no use to anyone: the show is ending.
        SendMci("stop tsvsound", this);
        SendMci("close tsvsound", this);
        mciOpen_ = false;
        Log("StopMusic: stop tsvsound, close tsvsound");
    }
    if (control_) {
        control_->Destroy();
        control_.reset();
        Log("StopMusic: Media Player Control destroyed");
    }
    stopped_ = true;
}

void MusicPlayer::PlayMusicMP()
{
    std::string path = PlayMusic(settings_);
    Log("PlayMusicMP: Playing file %s", path.c_str());
    control_->Open(path);
}

void MusicPlayer::PlayMusicMCI()
{
    std::string path = PlayMusic(settings_);
    if (mciOpen_) {
        if (MciError err = SendMci("close tsvsound", this))
            Log("Mci Error closing sound device: %s", MciSystem::GetErrorString(err).c_str());
        mciOpen_ = false;
    }
    Log("PlayMusicMCI: Playing file %s", path.c_str());

    std::string open = MciOpenCommand(path);
    if (MciError err = SendMci(open, nullptr)) {
        LogCantPlay(path, err, open);
        return;
    }
    if (MciError err = SendMci("play tsvsound notify", this)) {
        LogCantPlay(path, err, open);
        SendMci("close tsvsound", this);
        return;
    }
    mciOpen_ = true;
}

long MusicPlayer::OnMciNotify(unsigned flags)
{
    Log("OnMciNotify Flags=%x", flags);
    if (flags & (kMciNotifySuccessful | kMciNotifyFailure)) {
        // After the cleanup the window is gone and would not see this.
        if (!stopped_)
            PlayMusicMCI();
    } else {
        Log("OnMciNotify Unknown Flag !");
    }
    return 0;
}

void MusicPlayer::OnEndOfStreamMediaPlayer(int result)
{
    Log("OnEndOfStreamMediaPlayer: %d", result);
    if (control_)
        PlayMusicMP();
}

void MusicPlayer::OnErrorMediaPlayer()
{
    // The supervision restarts the music once the state shows it stopped.
    if (LogEnabled() && control_)
        Log("Media Player Error: %x - %s", static_cast<unsigned>(control_->GetErrorCode()),
            control_->GetErrorDescription().c_str());
}

void MusicPlayer::customEvent(QEvent* event)
{
    if (event->type() == MciNotifyEvent::Type()) {
        OnMciNotify(static_cast<MciNotifyEvent*>(event)->Flags());
        return;
    }
    QObject::customEvent(event);
}

MciError MusicPlayer::SendMci(const std::string& command, QObject* callback)
{
    std::string answer;
    return mci_.SendString(command, &answer, callback);
}

void MusicPlayer::LogCantPlay(const std::string& path, MciError err, const std::string& openCommand)
{
    if (!LogEnabled())
        return;
    Log("%s", FormatStringId(IDS_CANT_PLAY, path.c_str()).c_str());
    Log("%s", FormatStringId(IDS_MCI_ERROR, MciSystem::GetErrorString(err).c_str(), openCommand.c_str()).c_str());
}
