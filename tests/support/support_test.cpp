// The pieces every suite leans on: a fault here would pass or fail tests for
// the wrong reason, or leave processes and folders behind.
#include "support/support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(ChildProcess, RunsWithTheGivenEnvironmentAndOutputAndTellsHowItEnded)
{
    support::TempFolder folder("child");
    setenv("TSV_SUPPORT_DROPPED", "1", 1);
    pid_t pid = support::StartChild(
        {"sh", "-c", "echo \"$TSV_SUPPORT_SET ${TSV_SUPPORT_DROPPED:-gone}\"; read line || echo eof; exit 3"},
        {.output = folder / "out.txt", .env = {{"TSV_SUPPORT_SET", "set"}, {"TSV_SUPPORT_DROPPED", std::nullopt}}});
    unsetenv("TSV_SUPPORT_DROPPED");
    auto status = support::WaitChild(pid, 10s);
    ASSERT_TRUE(status);
    EXPECT_EQ(support::ExitCode(*status), 3);
    EXPECT_EQ(support::ReadAll(folder / "out.txt"), "set gone\neof\n");

    // An empty environment but for PATH, which is where the program is looked for.
    folder.Write("bin/tsv-support-probe", "#!/bin/sh\necho \"${HOME-no home}\"\n");
    fs::permissions(folder / "bin/tsv-support-probe", fs::perms::owner_all);
    pid = support::StartChild({"tsv-support-probe"}, {.output = folder / "env.txt",
                                                      .clearEnv = true,
                                                      .env = {{"PATH", (folder / "bin").string() + ":/usr/bin:/bin"}}});
    status = support::WaitChild(pid, 10s);
    ASSERT_TRUE(status);
    EXPECT_EQ(support::ExitCode(*status), 0);
    EXPECT_EQ(support::ReadAll(folder / "env.txt"), "no home\n");

    status = support::WaitChild(support::StartChild({"tsv-no-such-program"}), 10s);
    ASSERT_TRUE(status);
    EXPECT_EQ(support::ExitCode(*status), 127);
}

TEST(ChildProcess, WaitingEndsAtTheDeadlineAndStoppingReachesAChildThatIgnoresSigterm)
{
    pid_t pid = support::StartChild({"sh", "-c", "trap '' TERM; while :; do sleep 0.05; done"});
    ASSERT_GT(pid, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(support::WaitChild(pid, 200ms));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    support::StopChild(pid, 300ms);
    EXPECT_NE(kill(pid, 0), 0) << "the child is still there (or not reaped)";
    EXPECT_FALSE(support::WaitChild(pid, 0ms)) << "waiting for a reaped child";
}

TEST(TempFolder, IsRemovedWithWhatATestLockedAwayAndMovesWithItsOwner)
{
    fs::path path;
    {
        support::TempFolder folder("support");
        path = folder.Path();
        EXPECT_EQ(folder.Write("locked/inner/file.txt", "text"), path / "locked/inner/file.txt");
        EXPECT_EQ(support::ReadAll(folder / "locked/inner/file.txt"), "text");
        fs::permissions(folder / "locked/inner", fs::perms::none);
        fs::permissions(folder / "locked", fs::perms::none);
        support::TempFolder moved = std::move(folder);
        EXPECT_EQ(moved.Path(), path);
        EXPECT_TRUE(folder.Path().empty());
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(Reading, LogMessagesLoseTheirTimeStampsAndAreCounted)
{
    support::TempFolder folder("log");
    const fs::path log = folder.Write("t.log", "12:00:01 : Start a : b\nno stamp\n12:00:02 : start again\n");
    EXPECT_EQ(support::LogMessages(log), (std::vector<std::string>{"Start a : b", "no stamp", "start again"}));
    EXPECT_EQ(support::CountLog(log, "tart"), 2);
    EXPECT_EQ(support::CountLog(log, "12:00"), 0);
    EXPECT_TRUE(support::WaitForLog(log, "again", 0ms));
    EXPECT_FALSE(support::WaitForLog(log, "never", 100ms));
    EXPECT_EQ(support::ReadAll(folder / "missing"), "");
}

TEST(Unprivileged, WorkRunsAsAnOrdinaryUserAndItsTextComesBack)
{
    auto uid = support::AsUnprivileged([] { return std::to_string(geteuid()); });
    ASSERT_TRUE(uid);
    EXPECT_EQ(*uid, std::to_string(geteuid() == 0 ? support::kNobody : geteuid()));
    if (geteuid() == 0) {
        // A child that dies hands back nothing, not an empty answer.
        EXPECT_FALSE(support::AsUnprivileged([]() -> std::string { raise(SIGKILL); return "x"; }));
    }
}

TEST(XServerProcess, ServersStartedTogetherGetTheirOwnDisplaysAndAFailedStartIsNoServer)
{
    if (!support::Have("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    auto a = support::XServerProcess::Virtual(320, 200);
    auto b = support::XServerProcess::Virtual(320, 200);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->Name(), b->Name());
    if (support::Have("xdpyinfo")) {
        EXPECT_EQ(a->Run("xdpyinfo"), 0);
        EXPECT_NE(b->Output("xdpyinfo").find("320x200 pixels"), std::string::npos);
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(support::XServerProcess::Start({"Xvfb", "-no-such-option"}));
    EXPECT_FALSE(support::XServerProcess::Start({"tsv-no-such-server"}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}
