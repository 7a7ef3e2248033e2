#include "media/sound_list.h"

#include "app/log.h"
#include "app/random.h"
#include "app/saver_settings.h"
#include "media/file_finder.h"
#include "media/image_list.h"
#include "media/list_choice.h"

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
    if (LogEnabled())
        Log("BuildSndList");
    const std::vector<std::string_view> masks = SoundMasks(settings);
    StringList found;
    FileFinder finder;
    for (const std::string& folder : settings.SoundFolders) {
        Log("         SndPath=%s", folder.c_str());
        if (folder.empty() || IsDisabledFolder(folder))
            continue;
        finder.ListFilesByMasks(folder, masks, FileAttr::kPlainFiles, settings.SndRecursive != 0, found);
    }
    settings.SoundFiles.clear();
    const int count = static_cast<int>(found.size());
    if (found.empty() || counting)
        return count;
    SortFileList(found, kSortByPath, false);
    settings.AllSoundFiles = found;
    settings.SoundFiles = std::move(found);
    return count;
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
