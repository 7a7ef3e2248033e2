#pragma once
// One sound being played through Qt Multimedia: a single file, or the
// entries of a playlist one after another. Both back ends of the music
// player play through it.
#include "music/audio_errors.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class AudioStream : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Waiting, Playing };

    explicit AudioStream(QObject* parent = nullptr);
    ~AudioStream() override;

    // True when there is an audio output to play to.
    static bool OutputAvailable();

    // Checks the file, or reads the playlist and checks that one of its
    // entries exists, and makes it the current media (stopping what played).
    // Nothing is decoded yet; a file that passes may still fail in Play.
    MciError Load(const std::string& path);

    // Plays the current media from its start. The end, or the failure of
    // everything it holds, is reported by Finished or Failed, never from
    // inside this call. Entries of a playlist that are missing or cannot be
    // played are skipped.
    void Play();

    // Stops playing; no Finished or Failed follows.
    void Stop();

    State GetState() const { return state_; }
    // The file playing or about to play, empty when idle.
    std::string CurrentEntry() const;

    // An entry that fails or does not start playing in time is started
    // again, up to kEntryStarts times in all, the last time with longer to
    // start; then it counts as failed.
    static constexpr int kEntryStarts = 3;
    static constexpr int kStartTimeoutMs = 2000;
    static constexpr int kLastStartTimeoutMs = 5000;

signals:
    void Finished();
    void Failed(unsigned code, const QString& description);
    void StateChanged();

private:
    void StartEntry();
    void EntryFailed(MciError code, const QString& description);
    void Conclude();
    void SetState(State state);
    void OnStatus(QMediaPlayer::MediaStatus status);
    void UpdatePlaying();
    void OnStartTimeout();
    bool RetryEntry();
    // Runs fn later from the event loop, unless the stream moved on meanwhile.
    void Defer(std::function<void()> fn);

    void NewPlayer();

    QAudioOutput output_;
    std::unique_ptr<QMediaPlayer> player_;
    QTimer startTimer_;
    std::vector<std::string> entries_;
    std::size_t index_ = 0;
    bool loaded_ = false;
    bool active_ = false;
    bool played_ = false;
    int starts_ = 0;            // how often the current entry was started
    bool entryStarted_ = false; // the current entry reached the speakers
    MciError lastError_ = kMciOk;
    QString lastDescription_;
    State state_ = State::Idle;
    std::uint64_t generation_ = 0;
};
