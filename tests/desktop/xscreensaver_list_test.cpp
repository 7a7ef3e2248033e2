// tessaview --add-to-xscreensaver with the real daemon: a user's list gains
// the show at its end, the daemon running meanwhile picks it up, and selecting
// that entry runs the show in the daemon's window.
#include <gtest/gtest.h>

#include "desktop_checks.h"

#include <fstream>
#include <iostream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
// Settings that cannot blank or lock on their own, and a list of two hacks
// (never run here), as xscreensaver-settings writes them.
const std::string kUserFile =
    "# XScreenSaver Preferences File\n"
    "mode:\t\tone\n"
    "selected:\t0\n"
    "lock:\t\tFalse\n"
    "fade:\t\tFalse\n"
    "unfade:\t\tFalse\n"
    "splash:\t\tFalse\n"
    "timeout:\t1:00:00\n"
    "cycle:\t\t1:00:00\n"
    "\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n"
    "\n"
    "pointerHysteresis:\t10\n";
} // namespace

TEST(XScreenSaverHost, TheAddedEntryIsSelectedAndRunsTheShow)
{
    if (!desktop::Have("xscreensaver") || !desktop::Have("xscreensaver-command"))
        GTEST_SKIP() << "xscreensaver is not installed";
    auto server = show::XServer::Virtual(800, 600);
    ASSERT_TRUE(server) << "no virtual X server";
    host::Session session(server->Name());
    desktop::PreparePhotos(session);
    const fs::path file = session.Home() / ".xscreensaver";
    std::ofstream(file) << kUserFile;
    session.GiveToUser();
    ASSERT_TRUE(session.StartBus());
    ASSERT_GT(session.Start({"xscreensaver", "-no-splash", "-verbose"}, session.Root() / "host.txt"), 0);
    ASSERT_TRUE(session.RunUntilSuccess({"xscreensaver-command", "-version"}, 15s)) << "the daemon never answered";

    ASSERT_EQ(session.Run({"tessaview", "--add-to-xscreensaver"}), 0);
    const std::string said = host::ReadAll(session.Root() / "last-command.txt");
    EXPECT_EQ(said, "tessaview: added \"tessaview --root\" to the programs list of " + file.string() +
                        "; choose Tessaview in xscreensaver-settings\n");
    const std::string edited = host::ReadAll(file);
    const std::string inserted = "\\\n\t\t\t\ttessaview --root\t\t\t    \\n";
    const auto at = edited.find(inserted);
    ASSERT_NE(at, std::string::npos) << edited;
    EXPECT_EQ(std::string(edited).erase(at, inserted.size()), kUserFile);

    // The third entry of the list: the running daemon reads the changed file.
    ASSERT_EQ(session.Run({"xscreensaver-command", "-select", "3"}), 0);
    const bool ran = session.WaitForLog("Create texture succeeded", 30s);
    EXPECT_TRUE(ran) << "no photo reached the cube";
    const std::string output = host::ReadAll(session.Root() / "host.txt");
    EXPECT_NE(output.find("\"tessaview --root\""), std::string::npos) << "the daemon ran something else";
    if (ran) {
        const unsigned long parent = desktop::ParentFromLog(session);
        EXPECT_NE(parent, 0u);
        EXPECT_NE(parent, DefaultRootWindow(server->Dpy())) << "the show drew behind the daemon's window";
        EXPECT_EQ(session.Run({"xscreensaver-command", "-deactivate"}), 0);
        EXPECT_TRUE(session.WaitForEndRequest(10s)) << "the daemon never passed its deactivation on to the show";
        EXPECT_TRUE(session.WaitForNoShow(2s)) << "the show outlived the daemon's request to end by 2 s";
    }
    if (HasFailure())
        std::cerr << "---- daemon output ----\n" << output << "---- show log ----\n"
                  << host::ReadAll(session.LogPath());
    EXPECT_EQ(session.Run({"xscreensaver-command", "-exit"}), 0);
}
