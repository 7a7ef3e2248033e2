#pragma once
// The one settings record of the process: every option, the configured
// folders, and the media lists with the lock that guards the image list.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class ProfileStore;
class KeptShuffle;

using StringList = std::vector<std::string>;

// Folder lists ("Count", "Path%d") in a section of the store.
StringList LoadFolderList(ProfileStore& store, std::string_view section);
void SaveFolderList(ProfileStore& store, std::string_view section, const StringList& folders);

// The stored options, one line each, in the order Load reads them. Save
// writes the Saved ones in the same order. An option's key in the store is
// its member's name; its default is the record's initial value.
//   SETTING(key, default, Saved | LoadOnly | SavedOnceSet)
//                                            an integer of section "Settings";
//                                            SavedOnceSet (options added later,
//                                            off by default) is written only when
//                                            it differs from its default or is
//                                            already stored, so a file that never
//                                            had it keeps its old layout
//   SETTING_IF(key, default, flag)           an integer read only when `flag`
//                                            is set; others write it, Save never
//   FOLDERS(member, section, legacy key)     a folder list; the single folder of
//                                            an older layout is read only when
//                                            the list is empty, and saved emptied
#define TSV_SETTINGS(SETTING, SETTING_IF, FOLDERS)                                \
    SETTING(Delay, 15, Saved)                                                     \
    SETTING(Recursive, 1, Saved)                                                  \
    SETTING(Random, 1, Saved)                                                     \
    SETTING(ReduceBig, 1, LoadOnly)                                               \
    FOLDERS(ImageFolders, "Paths", "ImagesPath")                                  \
    SETTING(SaveLastImage, 1, Saved)                                              \
    SETTING_IF(LastImageIndex, -1, SaveLastImage)                                 \
    SETTING(ImageSortType, 0, Saved)                                              \
    SETTING(SortNewFirst, 1, Saved)                                               \
    SETTING(BackColor, 0, Saved) /* 0x00BBGGRR */                                 \
    SETTING(ExitMMove, 1, Saved)                                                  \
    SETTING(ExitMClick, 1, Saved)                                                 \
    SETTING(ExitKClick, 1, Saved)                                                 \
    FOLDERS(SoundFolders, "SndPaths", "SoundsPath")                               \
    SETTING(SndRecursive, 1, Saved)                                               \
    SETTING(SndRandom, 1, Saved)                                                  \
    SETTING(IncludeMid, 1, Saved)                                                 \
    SETTING(IncludeWav, 1, Saved)                                                 \
    SETTING(IncludeMP3, 1, Saved)                                                 \
    SETTING(IncludeWMA, 1, Saved)                                                 \
    SETTING(SaveLastSound, 1, Saved)                                              \
    SETTING_IF(LastSoundIndex, -1, SaveLastSound)                                 \
    SETTING(SpinX, 40, Saved)                                                     \
    SETTING(SpinY, 60, Saved)                                                     \
    SETTING(SpinZ, 20, Saved)                                                     \
    SETTING(SpeedX, 60, Saved)                                                    \
    SETTING(SpeedY, 20, Saved)                                                    \
    SETTING(SpeedZ, 0, Saved)                                                     \
    SETTING(CubeSize, 70, Saved)                                                  \
    SETTING(KeepUpright, 0, Saved)                                                \
    SETTING(KeepAspectRatio, 0, Saved)                                            \
    SETTING(CubeFloat, 1, Saved)                                                  \
    SETTING(CubeTransp, 1, Saved)                                                 \
    SETTING(AllowSoftwareAcceleration, 0, LoadOnly)                               \
    SETTING(WindowsComposition, 0, LoadOnly)                                      \
    SETTING(ShowPng, 1, LoadOnly)                                                 \
    SETTING(AutoRotate, 1, LoadOnly)      /* codec path: camera photos upright */ \
    SETTING(ShowMoreFormats, 1, LoadOnly) /* codec path: HEIC, AVIF, WebP, TIFF */ \
    SETTING(KeepShuffle, 0, SavedOnceSet) /* random order resumes across runs */  \
    SETTING(Caption, 0, SavedOnceSet) /* 0 none, 1 date, 2 date and folder, 3 folder */ \
    SETTING(EnableMonitorOff, 1, LoadOnly)                                        \
    SETTING(DisableMultiMonitor, 0, LoadOnly)                                     \
    SETTING(HideCursor, 0, LoadOnly)                                              \
    SETTING(SndUseMCI, 0, LoadOnly)

class CSaverSettings {
public:
#define TSV_DECLARE_SETTING(key, def, ...) int key = def;
#define TSV_DECLARE_FOLDERS(member, ...) StringList member;
    TSV_SETTINGS(TSV_DECLARE_SETTING, TSV_DECLARE_SETTING, TSV_DECLARE_FOLDERS)
#undef TSV_DECLARE_SETTING
#undef TSV_DECLARE_FOLDERS

    // Media lists: the active lists and the copies of the last full build.
    StringList ImageFiles;
    StringList AllImageFiles;
    StringList SoundFiles;
    StringList AllSoundFiles;

    // Held by the image loader for the whole choice, decoding and fitting.
    std::mutex imageListLock;

    // The photos already shown in this cycle, kept across runs; set at the
    // start of a show only when KeepShuffle and Random are on (media/kept_shuffle.h).
    std::shared_ptr<KeptShuffle> keptShuffle;

    // The decode path chosen at start-up (not stored): the image-codec path
    // rather than the own readers. It also decides which formats are listed.
    bool codecPath = false;

    // Set when the process is to end (from a signal handler, hence lock-free):
    // a list build under way gives up.
    std::atomic<bool> stopListBuild{false};

    // Set once the first window has validated the settings and built the lists.
    bool initialised = false;

    // The store this record was loaded from; the direct writers use it.
    ProfileStore* store = nullptr;

    // First-run image folders (shared, then the user's); empty ones are skipped.
    struct FirstRunFolders {
        std::string shared;
        std::string user;
    };

    void Load(ProfileStore& from, const FirstRunFolders& firstRun);
    void Save(ProfileStore& to) const;
    void InitSettings();

    // Direct writes to the store (section "Settings"), whatever the sheet does.
    void WriteSetting(const char* key, int value) const;
};

// One line of the table above, for code that finds a setting by its key
// (the configuration pages bind their controls so).
struct SettingRow {
    enum class Kind { Integer, Folders };
    Kind kind = Kind::Integer;
    std::string_view key;                        // an integer's key, or a folder list's section
    int CSaverSettings::*integer = nullptr;      // Kind::Integer
    StringList CSaverSettings::*folders = nullptr; // Kind::Folders
    int defaultValue = 0;
    bool saved = false;
    bool onlyOnceSet = false;                    // saved only when not the default or already stored
    int CSaverSettings::*readIf = nullptr;       // read only when this flag is set
    std::string_view legacyKey;                  // folder lists: the older single-folder key
};

// The row of a key (a folder list by its section), or nullptr.
const SettingRow* FindSetting(std::string_view key);

// The process-wide record.
CSaverSettings& TheSettings();
