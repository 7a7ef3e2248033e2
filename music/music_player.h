#pragma once
// Background music of a show: one player per saver window that plays
// (only the first window does). The window calls these hooks.
#include <QObject>

class CSaverSettings;

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

private:
    CSaverSettings& settings_;
};
