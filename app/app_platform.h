#pragma once
// What start-up needs of the platform: one saver window, and the system
// services (screens, the single instance, the configuration sheet).
#include "app/rect.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class ProfileStore;
class CSaverSettings;

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
