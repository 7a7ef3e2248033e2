#include "music/music_player.h"

#include "app/saver_settings.h"

MusicPlayer::MusicPlayer(CSaverSettings& settings, QObject* parent) : QObject(parent), settings_(settings) {}
MusicPlayer::~MusicPlayer() = default;
void MusicPlayer::Start() {}
void MusicPlayer::Supervise() {}
void MusicPlayer::Stop() {}
