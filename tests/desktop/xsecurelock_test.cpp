// The show as the saver of the real xsecurelock: named by its absolute path,
// and found by xsecurelock's xscreensaver module in the folder it searches.
// The locker starts the show in its own saver window, and when the locker is
// killed the show ends.
#include <gtest/gtest.h>

#include "desktop_checks.h"

#include <csignal>
#include <iostream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
class XSecureLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!desktop::Have("xsecurelock"))
            GTEST_SKIP() << "xsecurelock is not installed";
        server = show::XServer::Virtual(800, 600);
        ASSERT_TRUE(server) << "no virtual X server";
        session = std::make_unique<host::Session>(server->Name());
        desktop::PreparePhotos(*session);
    }
    void TearDown() override
    {
        if (HasFailure() && session) {
            std::cerr << "---- locker output ----\n" << host::ReadAll(session->Root() / "locker.txt");
            std::cerr << "---- show log ----\n" << host::ReadAll(session->LogPath());
        }
        session.reset();
        server.reset();
    }

    // Locks with the environment set so far, then checks the show and its end.
    void ExpectShowWhileLocked()
    {
        session->GiveToUser();
        const pid_t locker = session->Start({"xsecurelock"}, session->Root() / "locker.txt");
        ASSERT_GT(locker, 0);
        ASSERT_TRUE(session->WaitForLog("Create texture succeeded", 30s)) << "no photo reached the cube";
        const unsigned long parent = desktop::ParentFromLog(*session);
        EXPECT_NE(parent, 0u);
        EXPECT_NE(parent, DefaultRootWindow(server->Dpy())) << "the show drew behind the locker's window";
        EXPECT_EQ(session->ShowProcesses().size(), 1u) << "one show for the one monitor";
        EXPECT_EQ(session->CountLog("showing message"), 0) << "the show found no photos";

        // The locker alone, not its process group: the show must follow it.
        kill(locker, SIGTERM);
        EXPECT_TRUE(session->WaitForNoShow(2s)) << "the show outlived the locker by 2 s";
        session->Stop(locker);
    }

    std::unique_ptr<show::XServer> server;
    std::unique_ptr<host::Session> session;
};
} // namespace

TEST_F(XSecureLockTest, TheSaverNamedByItsPathShowsPhotosInTheLockersWindow)
{
    const fs::path saver = host::UseInstalled() ? fs::path("/usr/lib/xscreensaver/tessaview")
                                                : session->Root() / "bin" / "tessaview";
    session->SetEnv("XSECURELOCK_SAVER", saver.string());
    ExpectShowWhileLocked();
}

TEST_F(XSecureLockTest, ItsXScreenSaverModuleFindsTheShowInTheHackFolder)
{
    // Installed, the module's own default folder holds the package's link.
    if (!host::UseInstalled()) {
        fs::create_directories(session->Root() / "hacks");
        fs::create_symlink(session->Program(), session->Root() / "hacks" / "tessaview");
        session->SetEnv("XSECURELOCK_XSCREENSAVER_PATH", (session->Root() / "hacks").string());
    }
    session->SetEnv("XSECURELOCK_SAVER", "saver_xscreensaver");
    ExpectShowWhileLocked();
}
