#pragma once
// Start-up's system services on Qt and X11.
#include "app/saver_app.h"

#include <functional>
#include <memory>

class QLocalServer;

class QtAppPlatform : public AppPlatform {
public:
    using WindowFactory = std::function<std::unique_ptr<SaverWindow>()>;
    explicit QtAppPlatform(WindowFactory factory);
    ~QtAppPlatform() override;

    int ScreenDepth() override;
    Rect ScreenGeometry() override;
    std::optional<Rect> WindowRect(long handle) override;
    bool ActivateRunningInstance() override;
    std::vector<Rect> Monitors() override;
    std::unique_ptr<SaverWindow> NewSaverWindow() override;
    int ReadNoSetDPIAware() override;
    void SetDPIAware() override {}
    bool RunConfigurationSheet(CSaverSettings& settings, ProfileStore& store) override;
    // The configuration sheet lives above this layer; the executable hands it in.
    using SheetRunner = std::function<bool(CSaverSettings&, ProfileStore&)>;
    void SetSheetRunner(SheetRunner runner) { sheetRunner_ = std::move(runner); }
    std::string OsDescription() override;
    std::string CodecVersion() override;

    // Called when a second full-screen start asks this one to come to the front.
    void SetActivateHandler(std::function<void()> handler) { activate_ = std::move(handler); }

    // NoSetDPIAware from the system-wide file ($XDG_CONFIG_DIRS, first folder; /etc/xdg
    // by default). Read before the Qt application exists, since scaling is fixed then.
    static int ReadNoSetDPIAwareFromSystemFile();

private:
    std::unique_ptr<QLocalServer> instanceServer_;
    std::function<void()> activate_;
    WindowFactory factory_;
    SheetRunner sheetRunner_;
};

// First-run image folders: the shared pictures folder and the user's own.
std::string SharedPicturesFolder();
std::string UserPicturesFolder();
