// Adding the show to the programs list of ~/.xscreensaver: the text edit
// (every other byte stays), the entries as xscreensaver reads them, and the
// file replacement.
#include "app/xscreensaver_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
// A file as xscreensaver 6 writes it, shortened.
const std::string kWritten =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for sam on Tue Dec  8 09:12:44 2026.\n"
    "# https://www.jwz.org/xscreensaver/\n"
    "\n"
    "timeout:\t0:10:00\n"
    "mode:\t\tone\n"
    "selected:\t2\n"
    "\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "  \"Blank\" \t\t\t\tblank-only --root\t\t\t    \\n\\\n"
    "\t\t\t\tbinaryhorizon --root\t\t\t    \\n\n"
    "\n"
    "\n"
    "pointerHysteresis:\t10\n"
    "authWarningSlack:\t20\n";

// What the edit inserts after the list's last line.
const std::string kInserted = "\\\n\t\t\t\ttessaview --root\t\t\t    \\n";

std::string Without(std::string text, const std::string& part)
{
    const auto at = text.find(part);
    EXPECT_NE(at, std::string::npos) << "not inserted: " << text;
    if (at != std::string::npos)
        text.erase(at, part.size());
    return text;
}

std::vector<std::string> Commands(const std::string& text)
{
    std::vector<std::string> out;
    for (const auto& p : XScreenSaverPrograms(text))
        out.push_back((p.enabled ? "" : "-") + p.command);
    return out;
}

std::string Read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class XScreenSaverFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("tsv-xss-" + std::to_string(getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::size_t Entries() const
    {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    }
    fs::path folder;
};
} // namespace

TEST(XScreenSaverList, TheEntryEndsTheListAndEveryOtherByteStays)
{
    EXPECT_EQ(Commands(kWritten),
              (std::vector<std::string>{"maze --root", "-superquadrics --root", "blank-only --root",
                                        "binaryhorizon --root"}));
    const ProgramsEdit edit = AddToPrograms(kWritten, kXScreenSaverEntry);
    ASSERT_EQ(edit.outcome, ProgramsEdit::Outcome::Added);
    EXPECT_EQ(Without(edit.text, kInserted), kWritten);
    EXPECT_EQ(Commands(edit.text),
              (std::vector<std::string>{"maze --root", "-superquadrics --root", "blank-only --root",
                                        "binaryhorizon --root", "tessaview --root"}));

    // A second run changes nothing.
    const ProgramsEdit again = AddToPrograms(edit.text, kXScreenSaverEntry);
    EXPECT_EQ(again.outcome, ProgramsEdit::Outcome::AlreadyListed);
    EXPECT_EQ(again.text, edit.text);
    EXPECT_EQ(again.listed.command, "tessaview --root");
}

TEST(XScreenSaverList, AnyEntryRunningTheProgramCountsAsListed)
{
    struct Case {
        const char* entry;
        bool enabled;
    } listed[] = {
        {"tessaview -root", true},
        {"- tessaview --root", false},
        {"GL: tessaview --root", true},
        {"  \"My photos\" /usr/libexec/xscreensaver/tessaview -root", true},
        {"-\tGL:\t\"Cube\"\ttessaview", false},
    };
    for (const Case& c : listed) {
        const std::string text = "programs: maze --root \\n\\\n  " + std::string(c.entry) + " \\n\n";
        const ProgramsEdit edit = AddToPrograms(text, kXScreenSaverEntry);
        EXPECT_EQ(edit.outcome, ProgramsEdit::Outcome::AlreadyListed) << c.entry;
        EXPECT_EQ(edit.listed.enabled, c.enabled) << c.entry;
        EXPECT_EQ(edit.text, text);
    }
    // Other programs of similar name, and a list that is only commented out.
    for (const char* other : {"programs: tessaview-image x.jpg \\n\n", "programs: xtessaview -root \\n\n",
                              "! programs: tessaview --root \\n\nprograms: maze \\n\n"}) {
        const ProgramsEdit edit = AddToPrograms(other, kXScreenSaverEntry);
        EXPECT_EQ(edit.outcome, ProgramsEdit::Outcome::Added) << other;
        EXPECT_EQ(Commands(edit.text).back(), "tessaview --root") << other;
    }
    // An enabled entry is named rather than a disabled one.
    EXPECT_TRUE(AddToPrograms("programs: - tessaview -root \\n\\\n tessaview --root \\n\n", kXScreenSaverEntry)
                    .listed.enabled);
}

TEST(XScreenSaverList, ListsOfEveryShapeGainTheEntryAtTheirEnd)
{
    struct Case {
        const char* name;
        std::string before, after;
    } cases[] = {
        {"no list: one is added at the end", "timeout: 0:10:00\n",
         "timeout: 0:10:00\nprograms:\t\t\t\t\t\t\t\t      \\\n\t\t\t\ttessaview --root\t\t\t    \\n\n"},
        {"no final newline", "timeout: 0:10:00",
         "timeout: 0:10:00\nprograms:\t\t\t\t\t\t\t\t      \\\n\t\t\t\ttessaview --root\t\t\t    \\n\n"},
        {"one line, no escaped newline", "programs: maze -root\nlock: False\n",
         "programs: maze -root\\n\\\n\t\t\t\ttessaview --root\t\t\t    \\n\nlock: False\n"},
        {"empty list", "programs:\nlock: False\n",
         "programs:\\\n\t\t\t\ttessaview --root\t\t\t    \\n\nlock: False\n"},
        {"the list ends the file without a newline", "programs: maze -root \\n",
         "programs: maze -root \\n\\\n\t\t\t\ttessaview --root\t\t\t    \\n\n"},
        {"Windows line ends", "mode: one\r\nprograms: maze -root \\n\r\nlock: False\r\n",
         "mode: one\r\nprograms: maze -root \\n\\\r\n\t\t\t\ttessaview --root\t\t\t    \\n\r\nlock: False\r\n"},
        {"a continuation that ends the file", "programs: maze -root \\n\\\n",
         "programs: maze -root \\n\\\n\t\t\t\ttessaview --root\t\t\t    \\n\n"},
        {"class and wildcard names; the last list is the one read",
         "*programs: maze \\n\nXScreenSaver.programs: qix \\n\nlock: False\n",
         "*programs: maze \\n\nXScreenSaver.programs: qix \\n\\\n\t\t\t\ttessaview --root\t\t\t    \\n\nlock: False\n"},
    };
    for (const Case& c : cases) {
        const ProgramsEdit edit = AddToPrograms(c.before, kXScreenSaverEntry);
        EXPECT_EQ(edit.outcome, ProgramsEdit::Outcome::Added) << c.name;
        EXPECT_EQ(edit.text, c.after) << c.name;
        EXPECT_EQ(Commands(edit.text).back(), "tessaview --root") << c.name;
        EXPECT_EQ(AddToPrograms(edit.text, kXScreenSaverEntry).outcome, ProgramsEdit::Outcome::AlreadyListed)
            << c.name;
    }
    EXPECT_EQ(Commands("programs: maze -root\n"), std::vector<std::string>{"maze -root"});
    EXPECT_EQ(Commands(AddToPrograms("programs: maze -root\n", kXScreenSaverEntry).text),
              (std::vector<std::string>{"maze -root", "tessaview --root"}));
}

TEST_F(XScreenSaverFile, AMissingFileIsMadeWithTheOneEntryAndASecondRunChangesNothing)
{
    const fs::path file = folder / ".xscreensaver";
    const ListUpdate made = AddToXScreenSaverFile(file);
    EXPECT_TRUE(made.ok);
    EXPECT_EQ(made.message, "tessaview: created " + file.string() +
                                " with \"tessaview --root\" in its programs list; xscreensaver lists its own hacks "
                                "after it");
    EXPECT_EQ(Commands(Read(file)), std::vector<std::string>{"tessaview --root"});
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0666 & ~mask));

    struct stat before {};
    stat(file.c_str(), &before);
    const ListUpdate again = AddToXScreenSaverFile(file);
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.message, "tessaview: " + file.string() + " already lists \"tessaview --root\"; nothing changed");
    struct stat after {};
    stat(file.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(XScreenSaverFile, AnEditedFileKeepsItsModeAndALinkStaysALink)
{
    fs::create_directories(folder / "dotfiles");
    const fs::path real = folder / "dotfiles" / "xscreensaver";
    std::ofstream(real, std::ios::binary) << kWritten;
    fs::permissions(real, fs::perms(0640));
    const fs::path link = folder / ".xscreensaver";
    fs::create_symlink("dotfiles/xscreensaver", link);

    const ListUpdate update = AddToXScreenSaverFile(link);
    EXPECT_TRUE(update.ok) << update.message;
    EXPECT_EQ(update.message, "tessaview: added \"tessaview --root\" to the programs list of " + link.string() +
                                  "; choose Tessaview in xscreensaver-settings");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Without(Read(real), kInserted), kWritten);
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
    // No temporary file is left beside either.
    EXPECT_EQ(Entries(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "dotfiles"), fs::directory_iterator()), 1);

    // A disabled entry is reported as such and left alone.
    std::ofstream(real, std::ios::binary) << "programs: - tessaview -root \\n\n";
    const ListUpdate disabled = AddToXScreenSaverFile(link);
    EXPECT_TRUE(disabled.ok);
    EXPECT_NE(disabled.message.find("\"tessaview -root\", disabled (enable it in xscreensaver-settings)"),
              std::string::npos)
        << disabled.message;
    EXPECT_EQ(Read(real), "programs: - tessaview -root \\n\n");
}

TEST_F(XScreenSaverFile, WhatCannotBeEditedIsReportedAndLeftAlone)
{
    // A folder where the file should be.
    fs::create_directories(folder / "taken" / ".xscreensaver");
    const ListUpdate folderInTheWay = AddToXScreenSaverFile(folder / "taken" / ".xscreensaver");
    EXPECT_FALSE(folderInTheWay.ok);
    EXPECT_NE(folderInTheWay.message.find("tessaview: cannot edit"), std::string::npos) << folderInTheWay.message;
    EXPECT_NE(folderInTheWay.message.find("; nothing changed"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(folder / "taken" / ".xscreensaver"));

    // A home that does not exist: nothing is made.
    const ListUpdate noHome = AddToXScreenSaverFile(folder / "gone" / ".xscreensaver");
    EXPECT_FALSE(noHome.ok);
    EXPECT_EQ(noHome.message, "tessaview: cannot write " + (folder / "gone" / ".xscreensaver").string() +
                                  ": No such file or directory; nothing changed");
    EXPECT_FALSE(fs::exists(folder / "gone"));
}
