#pragma once
// The sound list: every sound file under the enabled sound folders, ordered
// by full path, and the choice of the next one for the music player.
#include <string>
#include <string_view>
#include <vector>

class CSaverSettings;

// The masks scanned in each sound folder, in order, per include setting.
std::vector<std::string_view> SoundMasks(const CSaverSettings& settings);

// Collects the sound files and answers their number. In full mode SoundFiles
// and AllSoundFiles hold the list ordered by path afterwards; in counting
// mode SoundFiles is emptied and AllSoundFiles left alone, as by a build that
// settings.stopListBuild cut short.
int BuildSndList(CSaverSettings& settings, bool counting);

// Full path of the next sound file (random when SndRandom is on), or "" when
// the list is empty.
std::string PlayMusic(CSaverSettings& settings);
