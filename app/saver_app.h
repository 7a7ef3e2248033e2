#pragma once
// The application object: run mode, process-wide flags, the saver windows,
// and the start-up sequence. The platform (screens, windows, dialogs, files)
// is reached through the two interfaces below, so the sequence itself is
// plain C++ and testable without a display.
#include "app/command_line.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ProfileStore;
class CSaverSettings;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Intersects(const Rect& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool operator==(const Rect&) const = default;
};

// What the application needs of one saver window.
class SaverWindow {
public:
    virtual ~SaverWindow() = default;
    virtual void SetPreview(bool preview) = 0;
    virtual void SetNoSounds(bool noSounds) = 0;
    // Creates the system window inside `parent` (0 = top level), covering
    // `monitor` or, when none is given, the parent's client area or the primary screen.
    virtual bool CreateSaverWindow(long parent, const Rect* monitor) = 0;
    // Asks the window to close (it honours that only when the show may end).
    virtual void PostClose() = 0;
    virtual void TakeFocus() = 0;
};

// The system services start-up uses.
class AppPlatform {
public:
    virtual ~AppPlatform() = default;
    // Bits per pixel of the primary screen.
    virtual int ScreenDepth() = 0;
    virtual Rect ScreenGeometry() = 0;
    virtual bool HasPalette() { return ScreenDepth() <= 8; }
    // The outer size of an existing native window, or nothing when the handle names none.
    virtual std::optional<Rect> WindowRect(long handle) = 0;
    // Single full-screen instance: true when another show of this user on this
    // display runs (it has been asked to come to the front).
    virtual bool ActivateRunningInstance() = 0;
    // Monitors in virtual-screen coordinates, in enumeration order.
    virtual std::vector<Rect> Monitors() = 0;
    virtual std::unique_ptr<SaverWindow> NewSaverWindow() = 0;
    // The value of NoSetDPIAware in the system-wide initialisation file.
    virtual int ReadNoSetDPIAware() = 0;
    virtual void SetDPIAware() = 0;
    // Runs the configuration sheet on the record. The sheet itself saves the
    // record through the store when it ends with OK (and answers true then), so
    // it can tell the user when the store could not keep it.
    virtual bool RunConfigurationSheet(CSaverSettings& settings, ProfileStore& store) = 0;
    virtual void ChangePassword() {}
    // Diagnostics: the operating system and the image codec library.
    virtual std::string OsDescription() = 0;
    virtual std::string CodecVersion() = 0;
};


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

// Path of `fileName` in the per-user data folder ($XDG_DATA_HOME/Tessaview/),
// created when missing; the executable's folder when that fails.
std::string GetDataFilePath(const std::string& fileName);
// The data folder root and the executable folder, for tests and the About page.
std::string DataFolderRoot();
std::string ExecutableFolder();
// Path of `fileName` in the per-user state folder ($XDG_STATE_HOME/Tessaview/,
// else ~/.local/state/Tessaview/), with the same fallback as the data folder.
std::string GetStateFilePath(const std::string& fileName);
std::string StateFolderRoot();
