// The tessaview executable: the screen-saver command line, then the show,
// the configuration sheet or nothing, as the run mode says.
#include "app/data_path.h"
#include "app/ini_profile_store.h"
#include "app/log.h"
#include "app/program_options.h"
#include "app/qt_platform.h"
#include "app/saver_app.h"
#include "app/saver_settings.h"
#include "app/x11_display.h"
#include "config/config_sheet.h"
#include "imaging/own/device_bitmap.h"
#include "saver/saver.h"

#include <QApplication>

#include <cstdio>
#include <malloc.h>
#include <string>

namespace {
std::string JoinArguments(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line;
}
} // namespace

int main(int argc, char** argv)
{
#ifdef __GLIBC__
    // A photo's pixels are large, short-lived blocks made by the loader
    // threads. With a fixed threshold each such block is a mapping of its own
    // that goes back to the system when freed; left adaptive, the threshold
    // climbs after the first big photo, freed blocks stay in the heap, and the
    // show's memory steps up over the hours it runs.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    if (std::optional<int> status = RunTerminalOption(argc, argv))
        return *status;
    if (std::optional<std::string> problem = DisplayProblem("tessaview")) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 1;
    }
    std::string commandLine = JoinArguments(argc, argv);
    // A screen-saver host's own forms (-window-id, -root, XSCREENSAVER_WINDOW) come first.
    if (std::optional<std::string> host = HostCommandLine(argc, argv))
        commandLine = *host;

    // High-DPI scaling is fixed when the Qt application is made, so this value
    // is read before anything else.
    if (QtAppPlatform::ReadNoSetDPIAwareFromSystemFile() != 0)
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");

    X11PlatformChoice x11;
    QApplication app(argc, argv);
    x11.Restore();
    QApplication::setApplicationName("Tessaview");
    QApplication::setOrganizationName("Kelvarin");
    // The show ends when its main window is gone, not when some window closes.
    QApplication::setQuitOnLastWindowClosed(false);

    TheLogger().SetPathProvider([] { return GetDataFilePath("Tessaview.log"); });
    InstallExitSignals();

    QtAppPlatform platform(MakeSaverWindow);
    platform.SetSheetRunner(RunConfigurationSheet);
    IniProfileStore store(IniProfileStore::UserStorePath());
    CSaverApp& saverApp = TheApp();
    platform.SetActivateHandler([&saverApp] {
        if (saverApp.mainWindow)
            saverApp.mainWindow->TakeFocus();
    });
    SetDisplayDepth(platform.ScreenDepth());

    if (!saverApp.InitInstance(commandLine, platform, store, TheSettings(), SharedPicturesFolder(),
                               UserPicturesFolder()))
        return 0;
    int result = QApplication::exec();
    // The windows go while the Qt application still exists.
    saverApp.mainWindow = nullptr;
    saverApp.saverWindows.clear();
    return result;
}
