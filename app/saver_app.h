#pragma once
// The application object: run mode, process-wide flags, the saver windows,
// and the start-up sequence. The platform (screens, windows, dialogs, files)
// is reached through the interfaces of app_platform.h, so the sequence itself
// is plain C++ and testable without a display.
#include "app/app_platform.h"
#include "app/command_line.h"

#include <memory>
#include <string>
#include <vector>

class ProfileStore;
class CSaverSettings;

class CSaverApp {
public:
    int trace = 0;
    int preview = 0;
    int gdiplusAvailable = 0;   // the image-codec path exists in this build
    int gdiplusEnabled = 0;     // the codec path decodes and fits images
    int screenDepthClass = 24;
    StartType startType = Configure;
    int compositionOff = 0;
    long parentHandle = 0;
    bool hasParent = false;

    std::vector<std::unique_ptr<SaverWindow>> saverWindows;
    SaverWindow* mainWindow = nullptr;

    // Runs start-up; true when saver windows exist and the event loop must run.
    bool InitInstance(std::string_view commandLine, AppPlatform& platform, ProfileStore& store,
                      CSaverSettings& settings, const std::string& sharedPictures,
                      const std::string& userPictures);
    void CreateSaverWindows(AppPlatform& platform, const CSaverSettings& settings);
    bool CreateOneWindow(AppPlatform& platform, long parent, const Rect* monitor);
    void CloseAllSaverWindows();
    // Start-up diagnostics, logged when tracing is on.
    void LogDiagnostics(AppPlatform& platform);
};

// The process-wide application object.
CSaverApp& TheApp();
void CloseAllSaverWindows();
