#include "app/saver_settings.h"

#include "app/log.h"
#include "app/profile_store.h"

#include <charconv>
#include <cstdio>
#include <map>
#include <optional>
#include <string_view>

#include <strings.h>

namespace {
constexpr const char* kSettings = "Settings";
constexpr const char* kPaths = "Paths";
constexpr const char* kSndPaths = "SndPaths";

std::string PathKey(int index)
{
    char key[32];
    std::snprintf(key, sizeof key, "Path%d", index);
    return key;
}

// The index of a "Path%d" key (any letter case, as look-ups ignore it); only
// the form PathKey writes counts, so "Path01" is no entry, as before.
std::optional<int> PathIndex(std::string_view key)
{
    if (key.size() < 5 || strncasecmp(key.data(), "Path", 4) != 0)
        return std::nullopt;
    std::string_view digits = key.substr(4);
    if (digits.size() > 1 && digits.front() == '0')
        return std::nullopt;
    int index = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (ec != std::errc() || end != digits.data() + digits.size() || index < 0)
        return std::nullopt;
    return index;
}
} // namespace

namespace {
// An older layout kept one folder in a single value; it is read only when the list is empty.
StringList LoadFoldersOrLegacy(ProfileStore& store, const char* section, const char* legacyKey)
{
    StringList folders = LoadFolderList(store, section);
    if (folders.empty()) {
        std::string legacy = store.GetProfileString(kSettings, legacyKey, "");
        if (!legacy.empty())
            folders.push_back(std::move(legacy));
    }
    return folders;
}
} // namespace

StringList LoadFolderList(ProfileStore& store, const char* section)
{
    // One pass over the keys that exist: a hand-edited Count of two billion
    // must not mean two billion look-ups.
    const int count = store.GetProfileInt(section, "Count", 0);
    std::map<int, std::string> byIndex;
    for (auto& [key, value] : store.GetProfileSection(section)) {
        std::optional<int> index = PathIndex(key);
        if (!index || *index >= count)
            continue;
        if (value.empty())
            byIndex.erase(*index); // a later empty duplicate hides the earlier value
        else
            byIndex[*index] = std::move(value);
    }
    StringList folders;
    folders.reserve(byIndex.size());
    for (auto& [index, path] : byIndex)
        folders.push_back(std::move(path));
    return folders;
}

void SaveFolderList(ProfileStore& store, const char* section, const StringList& folders)
{
    int n = static_cast<int>(folders.size());
    for (int i = 0; i < n; ++i)
        store.WriteProfileString(section, PathKey(i), folders[static_cast<std::size_t>(i)]);
    store.WriteProfileInt(section, "Count", n);
}

void CSaverSettings::Load(ProfileStore& from, const FirstRunFolders& firstRun)
{
    store = &from;
    auto get = [&](const char* key, int def) { return from.GetProfileInt(kSettings, key, def); };

    Delay = get("Delay", 15);
    Recursive = get("Recursive", 1);
    Random = get("Random", 1);
    ReduceBig = get("ReduceBig", 1);
    ImageFolders = LoadFoldersOrLegacy(from, kPaths, "ImagesPath");
    SaveLastImage = get("SaveLastImage", 1);
    if (SaveLastImage)
        LastImageIndex = get("LastImageIndex", -1);
    ImageSortType = get("ImageSortType", 0);
    SortNewFirst = get("SortNewFirst", 1);
    BackColor = get("BackColor", 0);
    ExitMMove = get("ExitMMove", 1);
    ExitMClick = get("ExitMClick", 1);
    ExitKClick = get("ExitKClick", 1);
    SoundFolders = LoadFoldersOrLegacy(from, kSndPaths, "SoundsPath");
    SndRecursive = get("SndRecursive", 1);
    SndRandom = get("SndRandom", 1);
    IncludeMid = get("IncludeMid", 1);
    IncludeWav = get("IncludeWav", 1);
    IncludeMP3 = get("IncludeMP3", 1);
    IncludeWMA = get("IncludeWMA", 1);
    SaveLastSound = get("SaveLastSound", 1);
    if (SaveLastSound)
        LastSoundIndex = get("LastSoundIndex", -1);
    SpinX = get("SpinX", 40);
    SpinY = get("SpinY", 60);
    SpinZ = get("SpinZ", 20);
    SpeedX = get("SpeedX", 60);
    SpeedY = get("SpeedY", 20);
    SpeedZ = get("SpeedZ", 0);
    CubeSize = get("CubeSize", 70);
    KeepUpright = get("KeepUpright", 0);
    KeepAspectRatio = get("KeepAspectRatio", 0);
    CubeFloat = get("CubeFloat", 1);
    CubeTransp = get("CubeTransp", 1);
    AllowSoftwareAcceleration = get("AllowSoftwareAcceleration", 0);
    WindowsComposition = get("WindowsComposition", 0);
    ShowPng = get("ShowPng", 1);
    AutoRotate = get("AutoRotate", 1);
    ShowMoreFormats = get("ShowMoreFormats", 1);
    KeepShuffle = get("KeepShuffle", 0);
    EnableMonitorOff = get("EnableMonitorOff", 1);
    DisableMultiMonitor = get("DisableMultiMonitor", 0);
    HideCursor = get("HideCursor", 0);
    SndUseMCI = get("SndUseMCI", 0);

    // First run: seed the image folders only when the list was never stored;
    // a stored Count of 0 means the user emptied it.
    if (ImageFolders.empty() && from.GetProfileInt(kPaths, "Count", -1) == -1) {
        if (!firstRun.shared.empty())
            ImageFolders.push_back(firstRun.shared);
        if (!firstRun.user.empty())
            ImageFolders.push_back(firstRun.user);
    }
}

void CSaverSettings::Save(ProfileStore& to) const
{
    auto put = [&](const char* key, int value) { to.WriteProfileInt(kSettings, key, value); };
    put("Delay", Delay);
    put("Recursive", Recursive);
    put("Random", Random);
    SaveFolderList(to, kPaths, ImageFolders);
    to.WriteProfileString(kSettings, "ImagesPath", "");
    put("SaveLastImage", SaveLastImage);
    put("ImageSortType", ImageSortType);
    put("SortNewFirst", SortNewFirst);
    put("BackColor", BackColor);
    put("ExitMMove", ExitMMove);
    put("ExitMClick", ExitMClick);
    put("ExitKClick", ExitKClick);
    SaveFolderList(to, kSndPaths, SoundFolders);
    to.WriteProfileString(kSettings, "SoundsPath", "");
    put("SndRecursive", SndRecursive);
    put("SndRandom", SndRandom);
    put("IncludeMid", IncludeMid);
    put("IncludeWav", IncludeWav);
    put("IncludeMP3", IncludeMP3);
    put("IncludeWMA", IncludeWMA);
    put("SaveLastSound", SaveLastSound);
    put("SpinX", SpinX);
    put("SpinY", SpinY);
    put("SpinZ", SpinZ);
    put("SpeedX", SpeedX);
    put("SpeedY", SpeedY);
    put("SpeedZ", SpeedZ);
    put("CubeSize", CubeSize);
    put("KeepUpright", KeepUpright);
    put("KeepAspectRatio", KeepAspectRatio);
    put("CubeFloat", CubeFloat);
    put("CubeTransp", CubeTransp);
    // Written only once it was ever set, so a store without it stays as it was.
    if (KeepShuffle || !to.GetProfileString(kSettings, "KeepShuffle", "").empty())
        put("KeepShuffle", KeepShuffle);
}

void CSaverSettings::InitSettings()
{
    if (!ExitMMove && !ExitMClick && !ExitKClick)
        ExitMMove = ExitMClick = ExitKClick = 1;
    if (Delay <= 0)
        Delay = 1;
    if (!LogEnabled())
        return;
    Log("InitSettings:");
    Log("         Delay=%d", Delay);
    Log("         Recursive=%d", Recursive);
    Log("         Random=%d", Random);
    Log("         SaveLastImage=%d", SaveLastImage);
    Log("         LastImageIndex=%d", LastImageIndex);
    Log("         ImgPath Count=%d", static_cast<int>(ImageFolders.size()));
    Log("         ExitMMove=%d", ExitMMove);
    Log("         ExitMClick=%d", ExitMClick);
    Log("         ExitKClick=%d", ExitKClick);
    Log("         bForceMCI=%d", SndUseMCI);
    Log("         SndRecursive=%d", SndRecursive);
    Log("         SndRandom=%d", SndRandom);
    Log("         SndPath Count=%d", static_cast<int>(SoundFolders.size()));
    Log("         PlayMid=%d", IncludeMid);
    Log("         PlayWav=%d", IncludeWav);
    Log("         PlayMP3=%d", IncludeMP3);
    Log("         PlayWMA=%d", IncludeWMA);
    Log("         Sound Count=%d", static_cast<int>(SoundFiles.size()));
}

void CSaverSettings::WriteSetting(const char* key, int value) const
{
    if (store)
        store->WriteProfileInt(kSettings, key, value);
}

CSaverSettings& TheSettings()
{
    static CSaverSettings settings;
    return settings;
}
