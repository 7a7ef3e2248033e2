#pragma once
// Background music of a show: one player per saver window that plays
// (only the first window does). The window calls these hooks; the player
// object also stands for the window as the receiver of the command
// interface's completion notifications.
#include "music/audio_errors.h"
#include "music/mci.h"

#include <QObject>

#include <memory>
#include <string>

class CSaverSettings;
class CMediaPlayer2;

class MusicPlayer : public QObject {
    Q_OBJECT
public:
    explicit MusicPlayer(CSaverSettings& settings, QObject* parent = nullptr);
    ~MusicPlayer() override;

    // At the window's first tick: choose the back end and start the first file.
    void Start();
    // Every 20th counted frame tick: restart the music if it stopped.
    void Supervise();
    // Window cleanup: stop and close. Safe to call twice.
    void Stop();

    // Completion notification of the command interface (flags as posted);
    // returns 0.
    long OnMciNotify(unsigned flags);
    // Events of the media-player control.
    void OnEndOfStreamMediaPlayer(int result);
    void OnErrorMediaPlayer();

    // The media-player control plays (else the command interface does).
    bool PlayerCreated() const { return control_ != nullptr; }
    // The command interface's device is open.
    bool MciOpen() const { return mciOpen_; }

    // The open command for a path; a double quote in the path is doubled so
    // that the quoted name cannot end early.
    static std::string MciOpenCommand(const std::string& path);

protected:
    void customEvent(QEvent* event) override;

private:
    void PlayMusicMP();
    void PlayMusicMCI();
    MciError SendMci(const std::string& command, QObject* callback);
    void LogCantPlay(const std::string& path, MciError err, const std::string& openCommand);

    CSaverSettings& settings_;
    MciSystem mci_;
    std::unique_ptr<CMediaPlayer2> control_;
    bool mciOpen_ = false;
    bool started_ = false;
    bool stopped_ = false;
};
