#include "music/media_player2.h"

#include "music/audio_stream.h"

CMediaPlayer2::CMediaPlayer2(QObject* parent) : QObject(parent) {}

CMediaPlayer2::~CMediaPlayer2() = default;

bool CMediaPlayer2::Create()
{
    if (stream_)
        return true;
    if (!AudioStream::OutputAvailable())
        return false;
    stream_ = std::make_unique<AudioStream>();
    connect(stream_.get(), &AudioStream::StateChanged, this, &CMediaPlayer2::OnStateChanged);
    connect(stream_.get(), &AudioStream::Finished, this, [this] {
        // Queued on the control, so that a handler may open the next file or
        // destroy the control.
        QMetaObject::invokeMethod(
            this, [this] { if (stream_) emit EndOfStream(0); }, Qt::QueuedConnection);
    });
    connect(stream_.get(), &AudioStream::Failed, this, [this](unsigned code, const QString& text) {
        ReportError(code, text.toStdString());
    });
    return true;
}

void CMediaPlayer2::Destroy()
{
    stream_.reset();
    lastState_ = kStopped;
}

void CMediaPlayer2::Open(const std::string& path)
{
    if (!stream_)
        return;
    MciError err = stream_->Load(path);
    if (err != kMciOk) {
        ReportError(err, MciErrorText(err));
        return;
    }
    if (autoStart_)
        stream_->Play();
}

int CMediaPlayer2::GetPlayState() const
{
    if (!stream_)
        return kStopped;
    switch (stream_->GetState()) {
    case AudioStream::State::Playing:
        return kPlaying;
    case AudioStream::State::Waiting:
        return kWaiting;
    case AudioStream::State::Idle:
        break;
    }
    return kStopped;
}

void CMediaPlayer2::ReportError(unsigned code, const std::string& description)
{
    errorCode_ = static_cast<int>(code);
    errorDescription_ = description;
    if (sendErrorEvents_)
        QMetaObject::invokeMethod(this, [this] { if (stream_) emit Error(); }, Qt::QueuedConnection);
}

void CMediaPlayer2::OnStateChanged()
{
    int state = GetPlayState();
    int old = lastState_;
    if (state == old)
        return;
    lastState_ = state;
    if (sendStateEvents_)
        QMetaObject::invokeMethod(
            this, [this, old, state] { if (stream_) emit PlayStateChange(old, state); }, Qt::QueuedConnection);
}
