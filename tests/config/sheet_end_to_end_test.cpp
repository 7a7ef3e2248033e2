// The configuration sheet of the real executable in a private X server,
// driven from the keyboard, and its effect on the next show.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "support/reading.h"
#include "support/show_harness.h"

#include <csignal>
#include <fstream>
#include <map>
#include <thread>

using namespace std::chrono_literals;
using namespace show;
namespace fs = std::filesystem;

namespace {
// The settings file as the program left it.
Settings ReadIni(const fs::path& file)
{
    Settings out;
    std::ifstream in(file);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            section = line.substr(1, line.size() - 2);
        else if (auto eq = line.find('='); eq != std::string::npos && !section.empty())
            out[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
    return out;
}

// Differing pixels of two screenshots of the same size.
int Changed(const Shot& a, const Shot& b)
{
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
        n += (a.pixels[i] & 0xFFFFFF) != (b.pixels[i] & 0xFFFFFF) ? 1 : 0;
    return n;
}

fs::path PageShotFolder()
{
    fs::path dir = fs::path(TSV_BUILD_DIR) / "screenshots";
    fs::create_directories(dir);
    return dir;
}

// Two screenshots of a running show a second apart, once the first photos are up.
std::pair<Shot, Shot> TwoShotsOfTheShow(const XServer& server)
{
    std::this_thread::sleep_for(3s);
    Shot first = Screenshot(server.Dpy());
    std::this_thread::sleep_for(1s);
    return {std::move(first), Screenshot(server.Dpy())};
}

void Keys(const XServer& server, const std::string& keys)
{
    server.Run("xdotool key --delay 120 " + keys);
    std::this_thread::sleep_for(400ms);
}
} // namespace

TEST(SheetEndToEnd, SliderAndLoggingChangedInTheSheetShowInTheNextShow)
{
    auto server = XServer::Virtual(800, 600);
    ASSERT_TRUE(server);
    Show show(*server);
    fs::path photos = show.Folder() / "photos";
    fs::create_directories(photos);
    WritePhoto(photos / "a.jpg", 0xC04020);
    WritePhoto(photos / "b.jpg", 0x2040C0);
    show.SetImageFolder(photos);
    for (const char* key : {"SpinX", "SpinY", "SpinZ", "SpeedX", "SpeedY", "SpeedZ"})
        show.settings["Settings"][key] = "0";
    show.settings["Settings"]["Trace"] = "0";
    show.settings["Settings"]["Delay"] = "3600";

    // Before: the cube stands still and nothing is logged.
    show.Start({"/s"});
    auto [stillA, stillB] = TwoShotsOfTheShow(*server);
    show.Signal(SIGTERM);
    ASSERT_TRUE(show.Wait(10s).has_value());
    EXPECT_GT(stillA.NonBlack(0, 0, stillA.width, stillA.height), 1000);
    EXPECT_EQ(Changed(stillA, stillB), 0);
    EXPECT_FALSE(fs::exists(show.LogPath()));

    // Without a desktop handler for files (no xdg-open on the PATH), so that
    // "Open" never starts anything outside the test.
    const std::map<std::string, std::string> noHandler{{"PATH", (show.Folder() / "no-programs").string()}};

    // "Open" before any log exists: the balloon, and no window comes up.
    show.Start({"/c"}, noHandler);
    ASSERT_EQ(server->Run("xdotool search --sync --onlyvisible --name 'Tessaview Screen Saver'"), 0);
    std::this_thread::sleep_for(1s);
    Keys(*server, "ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab");
    Keys(*server, "Tab Tab Tab space");   // from the tab bar: the link, the logging box, Open
    Screenshot(server->Dpy()).Save(PageShotFolder() / "sheet-5-about-open-without-log.png");
    EXPECT_NE(server->Run("timeout 2 xdotool search --sync --onlyvisible --name 'Tessaview.log -'"), 0);
    show.Signal(SIGTERM);
    ASSERT_TRUE(show.Wait(10s).has_value());

    // The sheet, twice, from the keyboard. The focus starts on the tab bar;
    // Tab runs through the page's controls, then OK, Cancel, Help. First:
    // every page photographed, never repeating and a caption chosen, logging on, OK.
    const fs::path ini = show.Folder() / "config" / "Kelvarin" / "Tessaview.ini";
    show.Start({"/c"});
    ASSERT_EQ(server->Run("xdotool search --sync --onlyvisible --name 'Tessaview Screen Saver'"), 0);
    std::this_thread::sleep_for(1s);
    Screenshot(server->Dpy()).Save(PageShotFolder() / "sheet-1-images.png");
    Keys(*server, "ctrl+Tab");
    Screenshot(server->Dpy()).Save(PageShotFolder() / "sheet-2-advanced.png");
    Keys(*server, "ctrl+Tab");
    Screenshot(server->Dpy()).Save(PageShotFolder() / "sheet-3-sounds.png");
    Keys(*server, "ctrl+Tab");
    Keys(*server, "Tab space Tab Down Down");   // never repeat; "Date taken and folder"
    Screenshot(server->Dpy()).Save(PageShotFolder() / "sheet-4-more-options.png");
    Keys(*server, "shift+Tab shift+Tab ctrl+Tab");   // back to the tab bar, on to About
    Keys(*server, "Tab Tab space");   // the link, the logging box
    Screenshot(server->Dpy()).Save(PageShotFolder() / "sheet-5-about.png");
    Keys(*server, "Return");
    std::optional<int> status = show.Wait(10s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(ReadIni(ini)["Settings"]["Trace"], "1");
    EXPECT_EQ(ReadIni(ini)["Settings"]["KeepShuffle"], "1");
    EXPECT_EQ(ReadIni(ini)["Settings"]["Caption"], "2");

    // Second: spin about Y to its far end, OK.
    show.settings = ReadIni(ini);
    show.Start({"/c"});
    ASSERT_EQ(server->Run("xdotool search --sync --onlyvisible --name 'Tessaview Screen Saver'"), 0);
    std::this_thread::sleep_for(1s);
    Keys(*server, "ctrl+Tab");
    // The three exit boxes, spin X, spin Y.
    Keys(*server, "Tab Tab Tab Tab Tab End");
    Screenshot(server->Dpy()).Save(PageShotFolder() / "sheet-2-advanced-changed.png");
    Keys(*server, "Return");
    status = show.Wait(10s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);

    Settings stored = ReadIni(ini);
    EXPECT_EQ(stored["Settings"]["SpinY"], "99");
    EXPECT_EQ(stored["Settings"]["SpinX"], "0");
    EXPECT_EQ(stored["Settings"]["Trace"], "1");
    EXPECT_EQ(stored["Settings"]["Delay"], "3600");

    // After: the next show logs and its cube turns.
    show.settings = stored;
    show.Start({"/s"});
    EXPECT_TRUE(show.WaitForLog("StartType", 5s));
    auto [turnA, turnB] = TwoShotsOfTheShow(*server);
    turnB.Save(PageShotFolder() / "show-after-sheet.png");
    show.Signal(SIGTERM);
    ASSERT_TRUE(show.Wait(10s).has_value());
    EXPECT_GT(Changed(turnA, turnB), 1000);

    // "Open" now shows that log in the program's own viewer.
    const std::string log = support::ReadAll(show.LogPath());
    ASSERT_NE(log.find("StartType"), std::string::npos);
    show.Start({"/c"}, noHandler);
    std::ofstream(show.LogPath()) << log;   // each start clears the log; the show's is wanted here
    ASSERT_EQ(server->Run("xdotool search --sync --onlyvisible --name 'Tessaview Screen Saver'"), 0);
    std::this_thread::sleep_for(1s);
    Keys(*server, "ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab");
    Keys(*server, "Tab Tab Tab space");
    EXPECT_EQ(server->Run("timeout 5 xdotool search --sync --onlyvisible --name 'Tessaview.log -'"), 0);
    std::this_thread::sleep_for(500ms);
    Screenshot(server->Dpy()).Save(PageShotFolder() / "log-viewer.png");
    show.Signal(SIGTERM);
    ASSERT_TRUE(show.Wait(10s).has_value());
}
