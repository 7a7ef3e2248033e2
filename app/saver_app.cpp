#include "app/saver_app.h"

#include "app/log.h"
#include "app/profile_store.h"
#include "app/saver_settings.h"

bool CSaverApp::InitInstance(std::string_view commandLine, AppPlatform& platform, ProfileStore& store,
                             CSaverSettings& settings, const std::string& sharedPictures,
                             const std::string& userPictures)
{
    if (platform.ReadNoSetDPIAware() == 0)
        platform.SetDPIAware();

    CommandLine cl = ParseCommandLine(commandLine);
    startType = cl.startType;
    hasParent = cl.hasParent;
    parentHandle = cl.parentHandle;

    if (startType == Saver && platform.ActivateRunningInstance())
        return false;

    // The codec path is part of this build; it is used by default above 8 bits.
    int depth = platform.ScreenDepth();
    screenDepthClass = depth > 8 ? 24 : depth;
    gdiplusAvailable = 1;
    gdiplusEnabled = store.GetProfileInt("Settings", "GdiPlus", screenDepthClass > 8 ? 1 : 0);

    settings.Load(store, {sharedPictures, userPictures});
    // The lists and the loader below take the decode path from the record.
    settings.codecPath = gdiplusEnabled != 0;

    switch (startType) {
    case Configure:
        platform.RunConfigurationSheet(settings, store);
        return false;
    case ChangePassword:
        platform.ChangePassword();
        return false;
    case Saver:
        preview = 0;
        break;
    case Preview:
        break;
    }

    if (hasParent) {
        preview = 1;
        // A large host window is a normal show inside that window, not the small preview.
        if (auto r = platform.WindowRect(parentHandle); r && r->Width() > 320 && r->Height() > 200)
            preview = 0;
    }

    if (!preview) {
        trace = store.GetProfileInt("Settings", "Trace", 0);
        TheLogger().SetTrace(trace != 0);
        if (trace) {
            LogDiagnostics(platform);
            Log("StartType= %d", static_cast<int>(startType));
        }
    }

    CreateSaverWindows(platform, settings);
    if (saverWindows.empty())
        return false;
    mainWindow->TakeFocus();
    return true;
}

void CSaverApp::CreateSaverWindows(AppPlatform& platform, const CSaverSettings& settings)
{
    if (settings.DisableMultiMonitor) {
        // One window on the primary screen; with a parent the show goes into
        // that parent, since a preview host expects its child.
        CreateOneWindow(platform, hasParent ? parentHandle : 0, nullptr);
        return;
    }
    if (preview || hasParent) {
        Log("Creating preview window or window with a parent (Preview=%d hWnd=%x)", preview,
            static_cast<unsigned>(parentHandle));
        CreateOneWindow(platform, parentHandle, nullptr);
        return;
    }
    for (const Rect& monitor : platform.Monitors())
        CreateOneWindow(platform, 0, &monitor);
}

bool CSaverApp::CreateOneWindow(AppPlatform& platform, long parent, const Rect* monitor)
{
    if (monitor)
        Log("Monitor Rect=(%d,%d)-(%d,%d)", monitor->left, monitor->top, monitor->right, monitor->bottom);
    std::unique_ptr<SaverWindow> window = platform.NewSaverWindow();
    if (!window) {
        Log("Create Window Failed !");
        return false;
    }
    window->SetPreview(preview != 0);
    window->SetNoSounds(mainWindow != nullptr);
    if (!window->CreateSaverWindow(parent, monitor)) {
        Log("Create Window Failed !");
        return false;
    }
    if (!mainWindow)
        mainWindow = window.get();
    saverWindows.push_back(std::move(window));
    return true;
}

void CSaverApp::CloseAllSaverWindows()
{
    // Closing may destroy windows; walk a snapshot of the list.
    std::vector<SaverWindow*> windows;
    for (auto& w : saverWindows)
        windows.push_back(w.get());
    for (SaverWindow* w : windows)
        w->PostClose();
}

void CSaverApp::LogDiagnostics(AppPlatform& platform)
{
    Log("Tessaview v%d.%d.%d", TSV_VERSION_MAJOR, TSV_VERSION_MINOR, TSV_VERSION_PATCH);
    Log("%s", platform.OsDescription().c_str());
    if (gdiplusAvailable)
        Log("Gdiplus Available, %s", platform.CodecVersion().c_str());
    if (gdiplusEnabled)
        Log("Gdiplus Enabled");
    Rect screen = platform.ScreenGeometry();
    Log("Screen Size: %d,%d", screen.Width(), screen.Height());
    Log("Bits/Pixel: %d", platform.ScreenDepth());
    if (platform.HasPalette())
        Log("Palette Available");
    Log("%s", "");
}

CSaverApp& TheApp()
{
    static CSaverApp app;
    return app;
}

void CloseAllSaverWindows() { TheApp().CloseAllSaverWindows(); }
