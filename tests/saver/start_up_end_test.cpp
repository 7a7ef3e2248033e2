// The real executable against settings a person or another tool may leave
// behind, and the host's signals in the phases where the event loop cannot
// answer them.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "support/show_harness.h"

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
// The forced end waits three times longer in checked builds, which also run
// the orderly end a few times slower.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr auto kPrompt = 14s;
constexpr auto kAtOnce = 1500ms;
#else
constexpr auto kPrompt = 6s;
constexpr auto kAtOnce = 500ms;
#endif
} // namespace
using namespace show;
namespace fs = std::filesystem;

namespace {
class StartUpEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = XServer::Virtual(800, 600);
        ASSERT_TRUE(server) << "Xvfb did not start";
        show = std::make_unique<Show>(*server);
    }
    void TearDown() override
    {
        show.reset();
        folders.clear();
    }
    fs::path Photos(const std::string& name)
    {
        fs::path folder = folders.emplace_back("start-up") / name;
        fs::create_directories(folder);
        WritePhoto(folder / "a.jpg", 0x808080);
        WritePhoto(folder / "b.jpg", 0x404040);
        return folder;
    }
    // Time from the signal to the end of the process; nothing when it lives on.
    std::optional<std::chrono::milliseconds> EndAfter(int signalNumber)
    {
        auto sent = std::chrono::steady_clock::now();
        show->Signal(signalNumber);
        if (!show->Wait(kPrompt + 6s))
            return std::nullopt;
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
    }

    std::unique_ptr<XServer> server;
    std::unique_ptr<Show> show;
    std::vector<support::TempFolder> folders;
};
} // namespace

TEST_F(StartUpEndTest, HandEditedFolderListsStartEveryModeAtOnce)
{
    // A Count of two billion: the configuration sheet opens at once and goes
    // on the host's signal; the show starts with the one folder that exists.
    fs::path photos = Photos("photos");
    show->settings["Paths"]["Count"] = "2000000000";
    show->settings["Paths"]["Path0"] = photos.string();
    show->settings["SndPaths"]["Count"] = "2147483647";
    show->Start({"/c"});
    EXPECT_EQ(server->Run("timeout 10 xdotool search --sync --onlyvisible --name 'Tessaview Screen Saver'"), 0)
        << "the configuration sheet did not open";
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0) << "the configuration mode did not end";

    show->Start({"/s"});
    ASSERT_TRUE(show->WaitForLog("Image Files Count=2", 10s));
    EXPECT_EQ(show->CountLog("         ImgPath Count=1"), 1);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);

    // A folder whose name ends in a blank is found as written.
    fs::path blank = Photos("2019 ");
    show->settings["Paths"] = {{"Count", "1"}, {"Path0", blank.string()}};
    show->Start({"/s"});
    EXPECT_TRUE(show->WaitForLog("Image Files Count=2", 10s)) << blank;
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
}

TEST_F(StartUpEndTest, SignalsEndStartUpBeforeTheEventLoop)
{
    // The settings file is a pipe that nobody writes: start-up stops in its
    // read, before any event loop runs, until the host's signal ends it.
    fs::create_directories(show->SettingsPath().parent_path());
    ASSERT_EQ(mkfifo(show->SettingsPath().c_str(), 0600), 0);
    show->keepSettingsFile = true;
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        for (const char* mode : {"/c", "/s"}) {
            show->Start({mode});
            // Opening the writing end waits for the program's read to begin.
            int writer = -1;
            for (int i = 0; i < 200 && writer < 0; ++i) {
                writer = open(show->SettingsPath().c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (writer < 0)
                    std::this_thread::sleep_for(50ms);
            }
            ASSERT_GE(writer, 0) << mode << ": the settings were never read";
            std::this_thread::sleep_for(300ms);
            ASSERT_TRUE(show->Running()) << mode;
            auto took = EndAfter(signalNumber);
            close(writer);
            ASSERT_TRUE(took) << mode << " ignored signal " << signalNumber;
            EXPECT_LT(*took, kAtOnce) << mode << " signal " << signalNumber;
            EXPECT_TRUE(show->EndedBySignal()) << mode << " signal " << signalNumber;
        }
    }
}

TEST_F(StartUpEndTest, SignalsEndALongFolderScan)
{
    // The whole file system, searched on the main thread as the show starts:
    // far longer than a host waits.
    show->settings["Paths"] = {{"Count", "1"}, {"Path0", "/"}};
    show->settings["Settings"]["Recursive"] = "1";
    show->Start({"/s"});
    ASSERT_TRUE(show->WaitForLog("InitSettings:", 15s));
    std::this_thread::sleep_for(500ms);
    auto took = EndAfter(SIGTERM);
    ASSERT_TRUE(took) << "the scan ignored the signal";
    EXPECT_LT(*took, kPrompt);

    // A second signal ends it at once. It follows the first at once and is
    // another one, so that the two are not merged while pending and the
    // orderly end of the first cannot be over yet.
    show->Start({"/s"});
    ASSERT_TRUE(show->WaitForLog("InitSettings:", 15s));
    std::this_thread::sleep_for(500ms);
    show->Signal(SIGTERM);
    took = EndAfter(SIGINT);
    ASSERT_TRUE(took);
    EXPECT_LT(*took, 1s);
    EXPECT_TRUE(show->EndedBySignal());
}

TEST_F(StartUpEndTest, ASignalEndsAFortyThousandFolderScanAtOnce)
{
    // 200 folders of 200 folders each: the outer ones are links to one
    // folder of 200, since the scan follows linked folders and the file
    // system takes far longer to remove 40,000 real ones than the scan takes
    // to walk them. The tree is listed twenty times over, so that the scan
    // lasts seconds and is surely under way when the signal comes.
    const fs::path parent = folders.emplace_back("scan").Path();
    const fs::path leaf = parent / "leaf", tree = parent / "tree";
    fs::create_directory(leaf);
    fs::create_directory(tree);
    for (int i = 0; i < 200; ++i) {
        fs::create_directory(leaf / ("e" + std::to_string(i)));
        fs::create_directory_symlink(leaf, tree / ("d" + std::to_string(i)));
    }
    Settings::mapped_type paths{{"Count", "20"}};
    for (int i = 0; i < 20; ++i)
        paths["Path" + std::to_string(i)] = tree.string();
    show->settings["Paths"] = paths;
    show->settings["Settings"]["Recursive"] = "1";
    show->Start({"/s"});
    ASSERT_TRUE(show->WaitForLog("ImgPath=", 15s));
    auto took = EndAfter(SIGTERM);
    ASSERT_TRUE(took) << "the scan ignored the signal";
    EXPECT_LT(*took, kAtOnce);
    EXPECT_EQ(show->CountLog("BuildImageList: stopped"), 1) << "the signal did not reach the scan";
    // The show ended in order, as for a signal in the show itself.
    EXPECT_FALSE(show->EndedBySignal());
    EXPECT_EQ(show->CountLog("Image Files Count="), 0);
}
