#pragma once
// The media-player control: opens a file by path and starts it by itself,
// reports a play state, and raises an end-of-stream and an error event.
// Events arrive from the event loop, never from inside a call on the control.
#include <QObject>

#include <memory>
#include <string>

class AudioStream;

class CMediaPlayer2 : public QObject {
    Q_OBJECT
public:
    enum PlayState { kStopped = 0, kPaused = 1, kPlaying = 2, kWaiting = 3 };

    explicit CMediaPlayer2(QObject* parent = nullptr);
    ~CMediaPlayer2() override;

    // Creates the control; fails when there is no audio output to play to.
    bool Create();
    bool IsCreated() const { return stream_ != nullptr; }
    // Stops whatever plays and releases the control. Safe to call twice.
    void Destroy();

    // Options, all off until set: start playing after each open, raise the
    // error event, raise the play-state change event.
    void SetAutoStart(bool on) { autoStart_ = on; }
    void SetSendErrorEvents(bool on) { sendErrorEvents_ = on; }
    void SetSendPlayStateChangeEvents(bool on) { sendStateEvents_ = on; }

    // Opens the file or playlist (and plays it when auto start is on). A file
    // that cannot be opened raises the error event.
    void Open(const std::string& path);

    // One of PlayState: kWaiting while a file is being opened or buffered.
    int GetPlayState() const;
    int GetErrorCode() const { return errorCode_; }
    std::string GetErrorDescription() const { return errorDescription_; }

signals:
    // result 0: the media ended normally.
    void EndOfStream(int result);
    void Error();
    void PlayStateChange(int oldState, int newState);

private:
    void ReportError(unsigned code, const std::string& description);
    void OnStateChanged();

    std::unique_ptr<AudioStream> stream_;
    bool autoStart_ = false;
    bool sendErrorEvents_ = false;
    bool sendStateEvents_ = false;
    int lastState_ = kStopped;
    int errorCode_ = 0;
    std::string errorDescription_;
};
