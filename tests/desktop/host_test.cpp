// The show under the real screen-saver hosts of the desktop: xscreensaver and
// the MATE screen saver start it on activation and end it on deactivation.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "host_session.h"
#include "support/show_harness.h"
#include "support/shell.h"

#include <fstream>
#include <functional>
#include <iostream>
#include <algorithm>
#include <csignal>
#include <regex>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {
using support::Have;

// Puts three photos in the session's folder and its settings beside them.
void PreparePhotos(host::Session& session)
{
    show::WritePhoto(session.Photos() / "red.bmp", 0xC02020);
    show::WritePhoto(session.Photos() / "green.bmp", 0x20C020);
    show::WritePhoto(session.Photos() / "blue.bmp", 0x2020C0);
    session.WriteSettings();
}

// The window the show drew into, as its log names it; 0 when it names none.
unsigned long ParentFromLog(const host::Session& session)
{
    std::smatch m;
    std::string log = host::ReadAll(session.LogPath());
    if (!std::regex_search(log, m, std::regex(R"(with a parent \(Preview=0 hWnd=([0-9a-f]+)\))")))
        return 0;
    return std::stoul(m[1].str(), nullptr, 16);
}

// The show under a host: it draws into the host's own window (not the bare
// root window behind it), photos reach the cube, the host is asked to end it,
// and the show then ends in order within 2 s of hearing of it.
void ExpectOrderlyShow(host::Session& session, const show::XServer& server, const std::function<bool()>& deactivate)
{
    ASSERT_TRUE(session.WaitForLog("Create texture succeeded", 30s)) << "no photo reached the cube";
    unsigned long parent = ParentFromLog(session);
    EXPECT_NE(parent, 0u);
    EXPECT_NE(parent, DefaultRootWindow(server.Dpy())) << "the show drew behind its host's window";
    std::vector<pid_t> shows = session.ShowProcesses();
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(session.CountLog("showing message"), 0) << "the show found no photos";

    ASSERT_TRUE(deactivate());
    EXPECT_TRUE(session.WaitForEndRequest(10s)) << "the host never passed its deactivation on to the show";
    EXPECT_TRUE(session.WaitForNoShow(2s)) << "the show outlived its host's request to end by 2 s";
    EXPECT_TRUE(session.WaitForLog("CloseDX exit", 1s));
    EXPECT_EQ(session.CountLog("Texture loading thread shut down properly"), 1);
    EXPECT_EQ(session.CountLog("CloseDX exit"), 1);
    for (auto& entry : fs::directory_iterator(session.Home()))
        EXPECT_EQ(entry.path().filename().string().rfind("core", 0), std::string::npos) << entry.path();
}
// xscreensaver as a user sets it up: activated, the show runs; deactivated, it ends.
void RunXScreenSaverActivation(host::Session& session, const show::XServer& server)
{
    PreparePhotos(session);
    // The line a user adds to ~/.xscreensaver, and nothing that could blank or lock on its own.
    std::ofstream(session.Home() / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\n"
                                                       "fade: False\nunfade: False\nsplash: False\n"
                                                       "timeout: 1:00:00\ncycle: 1:00:00\n"
                                                       "programs: tessaview -root \\n\n";
    session.GiveToUser();
    ASSERT_TRUE(session.StartBus());
    ASSERT_GT(session.Start({"xscreensaver", "-no-splash", "-verbose"}, session.Root() / "host.txt"), 0);
    ASSERT_TRUE(session.RunUntilSuccess({"xscreensaver-command", "-version"}, 15s)) << "the daemon never answered";

    ASSERT_EQ(session.Run({"xscreensaver-command", "-activate"}), 0);
    ExpectOrderlyShow(session, server, [&] { return session.Run({"xscreensaver-command", "-deactivate"}) == 0; });
    std::string output = host::ReadAll(session.Root() / "host.txt");
    EXPECT_NE(output.find("\"tessaview --root\""), std::string::npos) << "the daemon ran something else";
    // The daemon reports a hack that crashed, dumped core or could not be run.
    EXPECT_FALSE(
        std::regex_search(output, std::regex("tessaview.*(crashed|core dumped|dumped core|exited abnormally)")));

    EXPECT_EQ(session.Run({"xscreensaver-command", "-exit"}), 0);
}
} // namespace

class HostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = show::XServer::Virtual(800, 600);
        ASSERT_TRUE(server) << "no virtual X server";
        session = std::make_unique<host::Session>(server->Name());
    }
    void TearDown() override
    {
        if (HasFailure() && session) {
            std::cerr << "---- host output ----\n" << host::ReadAll(session->Root() / "host.txt");
            std::cerr << "---- show log ----\n" << host::ReadAll(session->LogPath());
        }
        session.reset();
        server.reset();
    }

    std::unique_ptr<show::XServer> server;
    std::unique_ptr<host::Session> session;
};

TEST_F(HostTest, XScreenSaverRunsTheShowOnActivationAndEndsItOnDeactivation)
{
    if (!Have("xscreensaver") || !Have("xscreensaver-command"))
        GTEST_SKIP() << "xscreensaver is not installed";
    RunXScreenSaverActivation(*session, *server);
}

// A build that only root can reach, as in a checkout under /root or any home
// folder of mode 0700: the hosts' user still runs the show.
TEST_F(HostTest, XScreenSaverRunsTheShowOfABuildOnlyRootCanReach)
{
    if (!Have("xscreensaver") || !Have("xscreensaver-command"))
        GTEST_SKIP() << "xscreensaver is not installed";
    if (geteuid() != 0 || host::UseInstalled())
        GTEST_SKIP() << "only a build run by root lies where the hosts' user may not reach it";
    support::TempFolder home("private-home");
    fs::permissions(home.Path(), fs::perms::owner_all);
    const fs::path build = home / "checkout" / "build" / "tessaview";
    fs::create_directories(build.parent_path());
    fs::copy_file(host::ShowExecutable(), build);
    session.reset();
    session = std::make_unique<host::Session>(server->Name(), build);
    RunXScreenSaverActivation(*session, *server);
}

TEST_F(HostTest, XScreenSaverSettingsPreviewIsSmallAndEndsWithTheSettings)
{
    if (!Have("xscreensaver") || !Have("xscreensaver-settings"))
        GTEST_SKIP() << "xscreensaver is not installed";
    PreparePhotos(*session);
    std::ofstream(session->Home() / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\nsplash: False\n"
                                                        "timeout: 1:00:00\nprograms: tessaview -root \\n\n";
    session->GiveToUser();
    ASSERT_TRUE(session->StartBus());
    ASSERT_GT(session->Start({"xscreensaver", "-no-splash"}, session->Root() / "daemon.txt"), 0);
    ASSERT_TRUE(session->RunUntilSuccess({"xscreensaver-command", "-version"}, 15s));
    pid_t settings = session->Start({"xscreensaver-settings"}, session->Root() / "host.txt");
    ASSERT_GT(settings, 0);

    // The settings window previews the selected saver in a small window of its own.
    std::vector<pid_t> shows;
    for (int i = 0; i < 300 && shows.empty(); ++i) {
        std::this_thread::sleep_for(50ms);
        shows = session->ShowProcesses();
    }
    ASSERT_EQ(shows.size(), 1u) << "no preview started";
    std::string commandLine = host::ReadAll("/proc/" + std::to_string(shows[0]) + "/cmdline");
    std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
    SCOPED_TRACE("preview: " + commandLine);
    // It names its window with -window-id (or in XSCREENSAVER_WINDOW).
    std::string environ = host::ReadAll("/proc/" + std::to_string(shows[0]) + "/environ");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(commandLine, m, std::regex("-window-id (0x[0-9a-fA-F]+|[0-9]+)")) ||
                std::regex_search(environ, m, std::regex("XSCREENSAVER_WINDOW=(0x[0-9a-fA-F]+|[0-9]+)")));
    Window preview = std::stoul(m[1].str(), nullptr, 0);
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(server->Dpy(), preview, &a));
    EXPECT_LT(a.width, 800);
    EXPECT_LT(a.height, 600);
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(session->ShowProcesses(), shows) << "the preview ended by itself";
    // The show's window lies inside the preview window, not on the root.
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(server->Dpy(), preview, &root, &parent, &children, &count));
    if (children)
        XFree(children);
    EXPECT_GE(count, 1u) << "nothing drew inside the preview window";

    // The settings program alone, not its process group: what then ends the
    // preview is the settings program itself or its window going.
    kill(settings, SIGTERM);
    EXPECT_TRUE(session->WaitForNoShow(2s)) << "the preview outlived its host window by 2 s";
    session->Stop(settings);
    EXPECT_EQ(session->Run({"xscreensaver-command", "-exit"}), 0);
}

TEST_F(HostTest, MateScreenSaverRunsTheThemeOnActivationAndEndsItOnDeactivation)
{
    if (!Have("mate-screensaver") || !Have("mate-screensaver-command") || !Have("dbus-daemon"))
        GTEST_SKIP() << "the MATE screen saver is not installed";
    // MATE runs only programs in xscreensaver's hack folder (or its own): the
    // installed package, or the build's executable mounted there for the host alone.
    const fs::path hackFolder = "/usr/libexec/xscreensaver";
    std::optional<std::pair<fs::path, fs::path>> bind;
    if (!host::UseInstalled()) {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs the package installed, or root to mount the hack folder privately";
        fs::create_directories(session->Root() / "hack");
        fs::create_symlink(session->Program(), session->Root() / "hack" / "tessaview");
        bind.emplace(session->Root() / "hack", hackFolder);
        // The theme entry as installed, found first through XDG_DATA_DIRS.
        fs::path themes = session->Root() / "share" / "applications" / "screensavers";
        fs::create_directories(themes);
        std::string entry = host::ReadAll(fs::path(TSV_SOURCE_DIR) / "desktop/screensavers/tessaview.desktop.in");
        entry = std::regex_replace(entry, std::regex("@TSV_HACK@"), (hackFolder / "tessaview").string());
        std::ofstream(themes / "tessaview.desktop") << entry;
        session->SetEnv("XDG_DATA_DIRS", (session->Root() / "share").string() + ":/usr/share");
    }
    PreparePhotos(*session);
    session->GiveToUser();
    ASSERT_TRUE(session->StartBus());
    for (auto [key, value] : {std::pair{"mode", "single"}, {"themes", "['screensavers-tessaview']"},
                              {"lock-enabled", "false"}, {"idle-activation-enabled", "false"}})
        ASSERT_EQ(session->Run({"gsettings", "set", "org.mate.screensaver", key, value}), 0) << key;
    ASSERT_GT(session->Start({"mate-screensaver", "--no-daemon", "--debug"}, session->Root() / "host.txt", bind), 0);
    ASSERT_TRUE(session->RunUntilSuccess({"mate-screensaver-command", "--query"}, 15s))
        << "the MATE screen saver never answered";

    ASSERT_EQ(session->Run({"mate-screensaver-command", "--activate"}), 0);
    ExpectOrderlyShow(*session, *server, [&] { return session->Run({"mate-screensaver-command", "--deactivate"}) == 0; });
    EXPECT_NE(host::ReadAll(session->Root() / "host.txt")
                  .find("Setting command for job: '/usr/libexec/xscreensaver/tessaview --root'"),
              std::string::npos);
}
