#include "app/saver_settings.h"

#include "app/log.h"
#include "app/profile_store.h"

#include <charconv>
#include <iterator>
#include <cstdio>
#include <map>
#include <optional>
#include <string_view>

#include <strings.h>

namespace {
constexpr const char* kSettings = "Settings";
constexpr const char* kPaths = "Paths";

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
StringList LoadFoldersOrLegacy(ProfileStore& store, std::string_view section, std::string_view legacyKey)
{
    StringList folders = LoadFolderList(store, section);
    if (folders.empty()) {
        std::string legacy = store.GetProfileString(kSettings, legacyKey, "");
        if (!legacy.empty())
            folders.push_back(std::move(legacy));
    }
    return folders;
}

enum class Persist { Saved, LoadOnly, SavedOnceSet };
using S = CSaverSettings;

#define TSV_SETTING_ROW(key, def, persist) \
    SettingRow{SettingRow::Kind::Integer, #key, &S::key, nullptr, def, Persist::persist != Persist::LoadOnly, \
               Persist::persist == Persist::SavedOnceSet, nullptr, {}},
#define TSV_SETTING_IF_ROW(key, def, flag) \
    SettingRow{SettingRow::Kind::Integer, #key, &S::key, nullptr, def, false, false, &S::flag, {}},
#define TSV_FOLDERS_ROW(member, section, legacyKey) \
    SettingRow{SettingRow::Kind::Folders, section, nullptr, &S::member, 0, true, false, nullptr, legacyKey},
constexpr SettingRow kTable[] = {TSV_SETTINGS(TSV_SETTING_ROW, TSV_SETTING_IF_ROW, TSV_FOLDERS_ROW)};
#undef TSV_SETTING_ROW
#undef TSV_SETTING_IF_ROW
#undef TSV_FOLDERS_ROW

// A conditional key needs its flag read first; two rows with one key would
// read and write the same value twice.
constexpr bool TableIsSound()
{
    for (std::size_t i = 0; i < std::size(kTable); ++i) {
        bool flagFirst = kTable[i].readIf == nullptr;
        for (std::size_t j = 0; j < i; ++j) {
            if (kTable[j].key == kTable[i].key)
                return false;
            if (kTable[i].readIf && kTable[j].integer == kTable[i].readIf)
                flagFirst = true;
        }
        if (!flagFirst)
            return false;
    }
    return true;
}
static_assert(TableIsSound(), "each key once, and every condition read before the key it guards");
} // namespace

const SettingRow* FindSetting(std::string_view key)
{
    for (const SettingRow& row : kTable)
        if (row.key == key)
            return &row;
    return nullptr;
}

StringList LoadFolderList(ProfileStore& store, std::string_view section)
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

void SaveFolderList(ProfileStore& store, std::string_view section, const StringList& folders)
{
    int n = static_cast<int>(folders.size());
    for (int i = 0; i < n; ++i)
        store.WriteProfileString(section, PathKey(i), folders[static_cast<std::size_t>(i)]);
    store.WriteProfileInt(section, "Count", n);
}

void CSaverSettings::Load(ProfileStore& from, const FirstRunFolders& firstRun)
{
    store = &from;
    for (const SettingRow& row : kTable) {
        if (row.kind == SettingRow::Kind::Folders)
            this->*row.folders = LoadFoldersOrLegacy(from, row.key, row.legacyKey);
        else if (!row.readIf || this->*row.readIf)
            this->*row.integer = from.GetProfileInt(kSettings, row.key, row.defaultValue);
    }

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
    for (const SettingRow& row : kTable) {
        if (!row.saved)
            continue;
        if (row.kind == SettingRow::Kind::Folders) {
            SaveFolderList(to, row.key, this->*row.folders);
            to.WriteProfileString(kSettings, row.legacyKey, "");
        } else {
            const int value = this->*row.integer;
            if (row.onlyOnceSet && value == row.defaultValue &&
                to.GetProfileString(kSettings, row.key, "").empty())
                continue;
            to.WriteProfileInt(kSettings, row.key, value);
        }
    }
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
