#pragma once
// The one settings record of the process: every option, the configured
// folders, and the media lists with the lock that guards the image list.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

class ProfileStore;

using StringList = std::vector<std::string>;

// Folder lists ("Count", "Path%d") in a section of the store.
StringList LoadFolderList(ProfileStore& store, const char* section);
void SaveFolderList(ProfileStore& store, const char* section, const StringList& folders);

class CSaverSettings {
public:
    // Scalar options (section "Settings"); defaults as for a new user.
    int Delay = 15;
    int Recursive = 1;
    int Random = 1;
    int ReduceBig = 1;
    int SaveLastImage = 1;
    int LastImageIndex = -1;
    int ImageSortType = 0;
    int SortNewFirst = 1;
    int BackColor = 0;          // 0x00BBGGRR
    int ExitMMove = 1;
    int ExitMClick = 1;
    int ExitKClick = 1;
    int ShowPng = 1;
    int AutoRotate = 1;         // codec path: show camera photos upright (EXIF orientation)
    int ShowMoreFormats = 1;    // codec path: list HEIC/HEIF, AVIF, WebP and TIFF photos too
    int WindowsComposition = 0;
    int KeepUpright = 0;
    int SpinX = 40;
    int SpinY = 60;
    int SpinZ = 20;
    int SpeedX = 60;
    int SpeedY = 20;
    int SpeedZ = 0;
    int CubeSize = 70;
    int KeepAspectRatio = 0;
    int CubeFloat = 1;
    int CubeTransp = 1;
    int AllowSoftwareAcceleration = 0;
    int EnableMonitorOff = 1;
    int DisableMultiMonitor = 0;
    int HideCursor = 0;
    int SndRecursive = 1;
    int SndRandom = 1;
    int IncludeMid = 1;
    int IncludeWav = 1;
    int IncludeMP3 = 1;
    int IncludeWMA = 1;
    int SaveLastSound = 1;
    int LastSoundIndex = -1;
    int SndUseMCI = 0;

    // Configured folders in the user's order; a leading ':' marks a disabled one.
    StringList ImageFolders;
    StringList SoundFolders;

    // Media lists: the active lists and the copies of the last full build.
    StringList ImageFiles;
    StringList AllImageFiles;
    StringList SoundFiles;
    StringList AllSoundFiles;

    // Held by the image loader for the whole choice, decoding and fitting.
    std::mutex imageListLock;

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

// The process-wide record.
CSaverSettings& TheSettings();
