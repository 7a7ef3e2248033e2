#include "app/data_path.h"
#include "app/test_log.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <thread>

TEST(Log, LineFormatAndEmptyMessage)
{
    ScopedTestLog log;
    Log("ScrInit: Window Size=%d,%d BitsPixel=%d", 640, 480, 32);
    Log("%s", "");
    Log("12.500000 frames per second");
    std::ifstream in(log.Path());
    std::string a, b, c;
    std::getline(in, a);
    std::getline(in, b);
    std::getline(in, c);
    EXPECT_TRUE(std::regex_match(a, std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d : ScrInit: Window Size=640,480 BitsPixel=32)"))) << a;
    EXPECT_TRUE(std::regex_match(b, std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d : )"))) << "'" << b << "'";
    EXPECT_EQ(c.substr(20), "12.500000 frames per second");
}

TEST(Log, NothingIsWrittenWithTracingOffAndANewRunTruncates)
{
    ScopedTestLog log;
    TheLogger().SetTrace(false);
    Log("dropped");
    EXPECT_FALSE(std::filesystem::exists(log.Path()));
    TheLogger().SetTrace(true);
    Log("first run");
    Log("first run again");
    TheLogger().ResetCreated(); // the next process
    Log("second run");
    EXPECT_EQ(log.Messages(), std::vector<std::string>{"second run"});
}

TEST(Log, ThreadsNeverInterleaveWithinALine)
{
    ScopedTestLog log;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            std::string body(200, static_cast<char>('a' + t));
            for (int i = 0; i < 200; ++i)
                Log("T%d %s", t, body.c_str());
        });
    for (auto& th : threads)
        th.join();
    auto lines = log.Messages();
    ASSERT_EQ(lines.size(), 800u);
    for (const auto& l : lines) {
        ASSERT_EQ(l.size(), 203u);
        char c = l[3];
        EXPECT_EQ(l.find_first_not_of(c, 3), std::string::npos) << l;
    }
}

TEST(Log, DataFolderFallsBackToTheExecutableFolder)
{
    support::TempFolder folder("data");
    const std::filesystem::path tmp = folder.Path();
    // A plain file where the folder should be makes it impossible to create.
    std::ofstream(tmp / "Tessaview") << "x";
    const char* old = std::getenv("XDG_DATA_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", tmp.c_str(), 1);
    EXPECT_EQ(GetDataFilePath("Tessaview.log"), ExecutableFolder() + "Tessaview.log");
    std::filesystem::remove(tmp / "Tessaview");
    EXPECT_EQ(GetDataFilePath("Tessaview.log"), (tmp / "Tessaview" / "Tessaview.log").string());
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "Tessaview"));
    EXPECT_EQ(GetDataFilePath(""), (tmp / "Tessaview").string() + "/");
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(Log, StateFolderFollowsXdgStateHomeThenHome)
{
    auto tmp = std::filesystem::temp_directory_path() / ("tsv-state-" + std::to_string(getpid()));
    std::filesystem::create_directories(tmp);
    auto saved = [](const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    auto restore = [](const char* name, const std::optional<std::string>& v) {
        if (v)
            setenv(name, v->c_str(), 1);
        else
            unsetenv(name);
    };
    const auto oldState = saved("XDG_STATE_HOME"), oldHome = saved("HOME");
    setenv("XDG_STATE_HOME", (tmp / "state").c_str(), 1);
    EXPECT_EQ(GetStateFilePath("x"), (tmp / "state" / "Tessaview" / "x").string());
    // A relative value is ignored, as the base directory rules ask.
    setenv("XDG_STATE_HOME", "relative", 1);
    setenv("HOME", (tmp / "home").c_str(), 1);
    EXPECT_EQ(GetStateFilePath("x"), (tmp / "home" / ".local" / "state" / "Tessaview" / "x").string());
    EXPECT_TRUE(std::filesystem::is_directory(tmp / "home" / ".local" / "state" / "Tessaview"));
    // As for the log: where the folder cannot be made, beside the executable.
    std::filesystem::remove_all(tmp / "home");
    std::filesystem::create_directories(tmp / "home" / ".local");
    std::ofstream(tmp / "home" / ".local" / "state") << "x";
    EXPECT_EQ(GetStateFilePath("x"), ExecutableFolder() + "x");
    restore("XDG_STATE_HOME", oldState);
    restore("HOME", oldHome);
    std::filesystem::remove_all(tmp);
}
