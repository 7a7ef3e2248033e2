#include "music/audio_stream.h"

#include "music/playlist.h"
#include "music/sound_format.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

bool IsFile(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// Whether a file can be handed to the decoder: it exists, can be read, and
// starts like the kind its extension names. Playlists inside playlists are
// not followed.
MciError CheckSoundFile(const std::string& path)
{
    if (!IsFile(path))
        return kMciErrFileNotFound;
    SoundKind kind = SoundKindFromPath(path);
    if (kind == SoundKind::Unknown)
        return kMciErrExtensionNotFound;
    if (kind == SoundKind::Playlist)
        return kMciErrInvalidFile;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return kMciErrFileUnreadable;
    std::vector<std::uint8_t> head(kSoundHeaderBytes);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return CheckSoundHeader(kind, head);
}

MciError ReadPlaylist(const std::string& path, std::vector<std::string>& entries)
{
    if (!IsFile(path))
        return kMciErrFileNotFound;
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return kMciErrFileUnreadable;
    if (size > kMaxPlaylistBytes)
        return kMciErrInvalidFile;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return kMciErrFileUnreadable;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    entries = ParseM3u(text, std::filesystem::path(path).parent_path().string());
    for (const auto& entry : entries) {
        if (IsFile(entry))
            return kMciOk;
    }
    return kMciErrEmptyPlaylist;
}

} // namespace

AudioStream::AudioStream(QObject* parent) : QObject(parent)
{
    startTimer_.setSingleShot(true);
    connect(&startTimer_, &QTimer::timeout, this, &AudioStream::OnStartTimeout);
    NewPlayer();
}

AudioStream::~AudioStream()
{
    ++generation_;
    player_->stop();
}

void AudioStream::NewPlayer()
{
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(&output_);
    connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) { Defer([this, status] { OnStatus(status); }); });
    connect(player_.get(), &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState) { Defer([this] { UpdatePlaying(); }); });
    connect(player_.get(), &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) {
                Defer([this, text] { EntryFailed(kMciErrPlaybackFailed, text); });
            });
}

bool AudioStream::OutputAvailable() { return !QMediaDevices::audioOutputs().isEmpty(); }

MciError AudioStream::Load(const std::string& path)
{
    Stop();
    entries_.clear();
    loaded_ = false;
    MciError err = SoundKindFromPath(path) == SoundKind::Playlist ? ReadPlaylist(path, entries_)
                                                                   : CheckSoundFile(path);
    if (err != kMciOk) {
        entries_.clear();
        return err;
    }
    if (entries_.empty())
        entries_.push_back(path);
    loaded_ = true;
    return kMciOk;
}

void AudioStream::Play()
{
    if (!loaded_)
        return;
    Stop();
    active_ = true;
    index_ = 0;
    played_ = false;
    lastError_ = kMciOk;
    lastDescription_.clear();
    StartEntry();
}

void AudioStream::Stop()
{
    ++generation_;
    active_ = false;
    startTimer_.stop();
    player_->stop();
    SetState(State::Idle);
}

std::string AudioStream::CurrentEntry() const
{
    return active_ && index_ < entries_.size() ? entries_[index_] : std::string();
}

void AudioStream::StartEntry()
{
    ++generation_;
    startTimer_.stop();
    for (; index_ < entries_.size(); ++index_) {
        MciError err = CheckSoundFile(entries_[index_]);
        if (err == kMciOk)
            break;
        lastError_ = err;
        lastDescription_ = QString::fromStdString(MciErrorText(err));
    }
    if (index_ >= entries_.size()) {
        // Reported from the event loop, as every other end is.
        Defer([this] { Conclude(); });
        return;
    }
    SetState(State::Waiting);
    starts_ = 1;
    entryStarted_ = false;
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(entries_[index_]));
    if (player_->source() == url) {
        player_->stop();
        player_->setPosition(0);
    } else {
        player_->setSource(url);
    }
    startTimer_.start(kStartTimeoutMs);
    player_->play();
    // Already loaded media may not report a status change.
    Defer([this] { UpdatePlaying(); });
}

void AudioStream::OnStartTimeout()
{
    EntryFailed(kMciErrPlaybackFailed, QStringLiteral("The sound did not start playing in time."));
}

bool AudioStream::RetryEntry()
{
    if (entryStarted_ || starts_ >= kEntryStarts)
        return false;
    // Some decoders stall or fail now and then while they set up (the AIFF
    // parser is one); a start from scratch usually plays.
    ++starts_;
    ++generation_;
    // A new player: a stalled one tends to stall again.
    QUrl url = player_->source();
    player_->disconnect(this);
    player_->stop();
    NewPlayer();
    player_->setSource(url);
    startTimer_.start(starts_ == kEntryStarts ? kLastStartTimeoutMs : kStartTimeoutMs);
    player_->play();
    return true;
}

void AudioStream::UpdatePlaying()
{
    if (!active_ || player_->playbackState() != QMediaPlayer::PlayingState)
        return;
    QMediaPlayer::MediaStatus status = player_->mediaStatus();
    if (status != QMediaPlayer::BufferedMedia && status != QMediaPlayer::BufferingMedia)
        return;
    startTimer_.stop();
    played_ = true;
    entryStarted_ = true;
    SetState(State::Playing);
}

void AudioStream::OnStatus(QMediaPlayer::MediaStatus status)
{
    if (!active_)
        return;
    switch (status) {
    case QMediaPlayer::LoadedMedia:
        // A play asked for while the media loaded can get lost.
        if (player_->playbackState() != QMediaPlayer::PlayingState)
            player_->play();
        break;
    case QMediaPlayer::BufferingMedia:
    case QMediaPlayer::BufferedMedia:
        UpdatePlaying();
        break;
    case QMediaPlayer::EndOfMedia:
        played_ = true;
        ++index_;
        StartEntry();
        break;
    case QMediaPlayer::InvalidMedia:
        EntryFailed(kMciErrPlaybackFailed, player_->errorString());
        break;
    default:
        break;
    }
}

void AudioStream::EntryFailed(MciError code, const QString& description)
{
    if (!active_ || RetryEntry())
        return;
    lastError_ = code;
    lastDescription_ = QString::fromStdString(MciErrorText(code));
    if (!description.isEmpty())
        lastDescription_ += QStringLiteral(" ") + description;
    player_->stop();
    ++index_;
    StartEntry();
}

void AudioStream::Conclude()
{
    active_ = false;
    SetState(State::Idle);
    if (played_) {
        emit Finished();
    } else {
        MciError code = lastError_ == kMciOk ? kMciErrNothingPlayable : lastError_;
        if (entries_.size() > 1)
            code = kMciErrNothingPlayable;
        emit Failed(code, code == kMciErrNothingPlayable ? QString::fromStdString(MciErrorText(code))
                                                         : lastDescription_);
    }
}

void AudioStream::SetState(State state)
{
    if (state_ == state)
        return;
    state_ = state;
    emit StateChanged();
}

void AudioStream::Defer(std::function<void()> fn)
{
    std::uint64_t generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation, fn = std::move(fn)] {
            if (generation == generation_)
                fn();
        },
        Qt::QueuedConnection);
}
