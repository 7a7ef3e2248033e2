// `tessaview /c` as a user runs it: the sheet is found on the display by its
// caption on a private virtual display; Escape ends the process and leaves
// the settings file alone, Enter saves.
#include "support/support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
class SheetProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A private display, so windows of other tests cannot take the keys.
        server = support::XServerProcess::Virtual(1280, 800);
        ASSERT_TRUE(server) << "Xvfb is needed (scripts/setup installs it)";
        fs::create_directories(home / "Kelvarin");
        fs::create_directories(home / "photos");
    }
    void TearDown() override { support::StopChild(process, 0ms); }
    // Starts the sheet and answers its window, found by its caption.
    std::string Start()
    {
        process = support::StartChild({TSV_EXECUTABLE, "/c"}, {.env = {{"XDG_CONFIG_HOME", home.Path().string()},
                                                                       {"QT_QPA_PLATFORM", "xcb"},
                                                                       {"DISPLAY", server->Name()}}});
        EXPECT_GT(process, 0);
        std::string window;
        for (int i = 0; i < 300 && window.empty(); ++i) {   // up to 30 s on a busy machine
            window = server->Output("xdotool search --onlyvisible --name '^Tessaview Screen Saver$'");
            if (window.empty())
                std::this_thread::sleep_for(100ms);
        }
        return window.substr(0, window.find('\n'));
    }
    void Press(const std::string& window, const char* key)
    {
        server->Run("xdotool windowfocus --sync " + window);
        server->Run(std::string("xdotool key ") + key);
    }
    // The wait status of the sheet's process, once it has ended.
    std::optional<int> Ended()
    {
        auto status = support::WaitChild(process, 10s);
        if (status)
            process = -1;
        return status;
    }

    std::unique_ptr<support::XServerProcess> server;
    support::TempFolder home{"sheet-process"};
    const fs::path ini = home / "Kelvarin" / "Tessaview.ini";
    pid_t process = -1;
};
} // namespace

TEST_F(SheetProcessTest, EscapeLeavesTheFileAndEnterSavesIt)
{
    const std::string text =
        "[Settings]\nDelay=42\nSpinX=3\n[Paths]\nCount=1\nPath0=" + (home / "photos").string() + "\n";
    std::ofstream(ini) << text;

    std::string window = Start();
    ASSERT_FALSE(window.empty()) << "no window captioned Tessaview Screen Saver";
    Press(window, "Escape");
    auto ended = Ended();
    ASSERT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(*ended)) << "the sheet ended by a signal";
    EXPECT_EQ(support::ReadAll(ini), text);

    window = Start();
    ASSERT_FALSE(window.empty());
    Press(window, "Return");
    ASSERT_TRUE(Ended());
    const std::string saved = support::ReadAll(ini);
    EXPECT_NE(saved.find("Delay=42\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("SpinX=3\n"), std::string::npos);
    EXPECT_NE(saved.find("CubeTransp="), std::string::npos);   // the whole record
    EXPECT_NE(saved.find("Path0=" + (home / "photos").string()), std::string::npos);
}
