#include "app/ini_profile_store.h"
#include "app/profile_store.h"
#include "config/about_info.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

TEST(AboutInfo, VersionLineFromTheFormat)
{
    const char* format = "Tessaview Version %d.%d.%d";
    EXPECT_EQ(FormatVersionLine(format, ReadProgramVersion()), "Tessaview Version 1.0.0");
    EXPECT_EQ(FormatVersionLine(format, ProgramVersion{2, 10, 65535}), "Tessaview Version 2.10.65535");
    EXPECT_EQ(FormatVersionLine(format, std::nullopt), "Tessaview Version 0.0.0");

    // The format is a control's text: stray conversions stay text, never read arguments.
    EXPECT_EQ(FormatVersionLine("%s %d.%d.%d.%d %n 100%%", ProgramVersion{1, 2, 3}), "%s 1.2.3.%d %n 100%");
    EXPECT_EQ(FormatVersionLine("ends in %", ProgramVersion{1, 2, 3}), "ends in %");
    EXPECT_EQ(FormatVersionLine("", ProgramVersion{1, 2, 3}), "");
}

TEST(AboutInfo, VersionTextIsReadOnlyWhenWellFormed)
{
    EXPECT_EQ(ParseProgramVersion("1.0.0"), (ProgramVersion{1, 0, 0}));
    EXPECT_EQ(ParseProgramVersion("3.14.159.2"), (ProgramVersion{3, 14, 159}));
    for (const char* bad : {"", "1", "1.0", "1.0.", "1..0", "a.b.c", "1.0.0-rc1", "1.0.0.0.0", "70000.0.0",
                            "-1.0.0", " 1.0.0", "99999999999999999999.0.0"})
        EXPECT_FALSE(ParseProgramVersion(bad).has_value()) << bad;
}

TEST(AboutInfo, TraceIsReadAndWrittenThroughTheStoreAtOnce)
{
    support::TempFolder folder("trace");
    const auto path = folder / "Tessaview.ini";
    {
        IniProfileStore store(path.string());
        EXPECT_EQ(LoadTraceSetting(store), 0);
        ASSERT_TRUE(SaveTraceSetting(store, 1));

        // The file holds it now, with no further save of the record.
        IniProfileStore other(path.string());
        EXPECT_EQ(LoadTraceSetting(other), 1);

        // A change made behind the first store's back is what it reads next.
        {
            std::ofstream out(path);
            out << "[Settings]\nTrace=0\nDelay=9\n";
        }
        EXPECT_EQ(LoadTraceSetting(store), 0);
        ASSERT_TRUE(SaveTraceSetting(store, 1));
        EXPECT_EQ(other.GetProfileInt("Settings", "Delay", 0), 9);
    }

    MemoryProfileStore memory;
    SaveTraceSetting(memory, 0);
    EXPECT_EQ(memory.Writes(), std::vector<std::string>{"Settings/Trace=0"});
}

TEST(AboutInfo, LogPathIsTheLoggersFileInTheDataFolder)
{
    support::TempFolder dir("data");
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    EXPECT_EQ(LogFilePath(), (dir / "Tessaview" / "Tessaview.log").string());
    unsetenv("XDG_DATA_HOME");
}

TEST(AboutInfo, HomePageIsTheInstalledReadmeElseTheSourceOne)
{
    namespace fs = std::filesystem;
    support::TempFolder root("home");
    fs::create_directories(root / "bin");
    fs::create_directories(root / "src");
    const std::string exe = (root / "bin").string() + "/";
    const std::string installed = (root / "share/doc/tessaview/README.md").string();
    const std::string source = (root / "src/README.md").string();

    // Neither exists: the installed place, never an empty or foreign address.
    EXPECT_EQ(HomePageAddress(exe, source), installed);
    std::ofstream(source) << "# Tessaview\n";
    EXPECT_EQ(HomePageAddress(exe, source), source);
    fs::create_directories(root / "share/doc/tessaview");
    std::ofstream(installed) << "# Tessaview\n";
    EXPECT_EQ(HomePageAddress(exe, source), installed);
    EXPECT_EQ(HomePageAddress(exe, ""), installed);

    // This build finds a README that exists.
    EXPECT_TRUE(fs::is_regular_file(HomePageAddress()));
}
