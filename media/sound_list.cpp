#include "media/sound_list.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "media/list_build.h"
#include "media/list_choice.h"
#include "media/sort_file_list.h"

std::vector<std::string_view> SoundMasks(const CSaverSettings& settings)
{
    std::vector<std::string_view> masks;
    auto add = [&](int on, std::initializer_list<std::string_view> group) {
        if (on)
            masks.insert(masks.end(), group);
    };
    add(settings.IncludeMid, {"*.mid", "*.rmi", "*.midi"});
    add(settings.IncludeWav, {"*.wav", "*.snd", "*.au", "*.aif", "*.aifc", "*.aiff"});
    add(settings.IncludeMP3, {"*.mp3", "*.m3u", "*.mp2"});
    add(settings.IncludeWMA, {"*.wma", "*.wm", "*.asf"});
    return masks;
}

int BuildSndList(CSaverSettings& settings, bool counting)
{
    const std::vector<std::string_view> masks = SoundMasks(settings);
    // Every entry is logged as stored, a disabled one with its mark; the
    // list is only used on the main thread, so it takes no lock.
    const MediaListBuild build{
        .routine = "BuildSndList",
        .folderKey = "SndPath",
        .logDisabled = true,
        .countKey = nullptr,
        .folders = &settings.SoundFolders,
        .masks = masks,
        .recursive = settings.SndRecursive != 0,
        .sortType = kSortByPath,
        .newFirst = false,
        .files = &settings.SoundFiles,
        .all = &settings.AllSoundFiles,
        .lock = nullptr,
    };
    return BuildMediaList(build, counting, settings.stopListBuild);
}

std::string PlayMusic(CSaverSettings& settings)
{
    StringList& files = settings.SoundFiles;
    if (files.empty()) {
        Log("PlayMusic: File List Empty !");
        return {};
    }
    if (settings.SndRandom)
        return DrawWithoutRepeat(files, settings.AllSoundFiles, "PlayMusic", "Random, Last File");
    // The logged index is the one before the wrap.
    Log("PlayMusic: Index=%lld", static_cast<long long>(settings.LastSoundIndex) + 1);
    settings.LastSoundIndex = NextListIndex(settings.LastSoundIndex, static_cast<int>(files.size()));
    std::string chosen = files[static_cast<std::size_t>(settings.LastSoundIndex)];
    if (settings.SaveLastSound)
        settings.WriteSetting("LastSoundIndex", settings.LastSoundIndex);
    return chosen;
}
