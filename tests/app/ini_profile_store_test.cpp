#include "app/ini_profile_store.h"
#include "app/saver_settings.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {
class IniStoreTest : public ::testing::Test {
protected:
    void WriteFile(const std::string& text)
    {
        fs::create_directories(fs::path(path_).parent_path());
        std::ofstream(path_) << text;
    }
    std::string ReadFile() { return support::ReadAll(path_); }
    // The refusal checks run as nobody, who must reach the folder.
    support::TempFolder dir_{"ini", support::kReadableByAll};
    std::string path_ = (dir_ / "Kelvarin" / "Tessaview.ini").string();
};
} // namespace

TEST_F(IniStoreTest, WritesCreateTheFileAndReadBack)
{
    IniProfileStore store(path_);
    EXPECT_EQ(store.GetProfileInt("Settings", "Delay", 15), 15);
    EXPECT_TRUE(store.WriteProfileInt("Settings", "Delay", 9));
    EXPECT_TRUE(store.WriteProfileInt("Settings", "LastImageIndex", -1));
    EXPECT_TRUE(store.WriteProfileString("Paths", "Path0", "/home/me/a,b\\c=d"));
    EXPECT_EQ(store.GetProfileInt("Settings", "Delay", 15), 9);
    EXPECT_EQ(store.GetProfileInt("settings", "lastimageindex", 0), -1);
    EXPECT_EQ(store.GetProfileString("Paths", "Path0", ""), "/home/me/a,b\\c=d");
    EXPECT_EQ(ReadFile(), "[Settings]\nDelay=9\nLastImageIndex=-1\n\n[Paths]\nPath0=/home/me/a,b\\c=d\n");
    // No temporary file is left behind.
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

TEST_F(IniStoreTest, HandEditedFileKeepsCommentsAndLoadsDefaultsForGarbage)
{
    WriteFile("; my settings\n[Settings]\nDelay = 30 \nSpinX=lots\nSpinY=\nBackColor=4294967295\n"
              "garbage line without equals\n[Paths]\nCount=2\nPath0=/photos\nPath1=:/old\n");
    IniProfileStore store(path_);
    CSaverSettings s;
    s.Load(store, {});
    EXPECT_EQ(s.Delay, 30);
    EXPECT_EQ(s.SpinX, 40);
    EXPECT_EQ(s.SpinY, 60);
    EXPECT_EQ(s.BackColor, -1);
    EXPECT_EQ(s.ImageFolders, (StringList{"/photos", ":/old"}));
    ASSERT_TRUE(store.WriteProfileInt("Settings", "LastImageIndex", 4));
    std::string text = ReadFile();
    EXPECT_NE(text.find("; my settings\n"), std::string::npos);
    EXPECT_NE(text.find("garbage line without equals\n"), std::string::npos);
    EXPECT_NE(text.find("garbage line without equals\nLastImageIndex=4\n[Paths]"), std::string::npos) << text;
}

TEST_F(IniStoreTest, AnUnreadableFileIsNeverReplaced)
{
    WriteFile("[Settings]\nDelay=30\n");
    // The folder lets anyone replace the file; only the store's own care keeps it.
    chmod(fs::path(path_).parent_path().c_str(), 0777);
    chmod(path_.c_str(), 0200);
    auto check = [this] {
        IniProfileStore store(path_);
        bool ok = store.GetProfileInt("Settings", "Delay", 15) == 15 &&
                  !store.WriteProfileInt("Settings", "LastImageIndex", 3);
        return ok;
    };
    EXPECT_EQ(support::AsUnprivileged([&] { return check() ? "refused" : "read or written"; }), "refused");
    chmod(path_.c_str(), 0600);
    EXPECT_EQ(ReadFile(), "[Settings]\nDelay=30\n");
}

TEST_F(IniStoreTest, AFolderInTheWayFailsWritesWithoutCrashing)
{
    fs::create_directories(path_); // a directory where the file should be
    IniProfileStore store(path_);
    EXPECT_EQ(store.GetProfileInt("Settings", "Delay", 15), 15);
    EXPECT_FALSE(store.WriteProfileInt("Settings", "Delay", 3));
    EXPECT_TRUE(fs::is_directory(path_));
}

TEST_F(IniStoreTest, SaveAndLoadRoundTrip)
{
    IniProfileStore store(path_);
    CSaverSettings a;
    a.ImageFolders = {"/x", ":/y"};
    a.SoundFolders = {"/m"};
    a.SpinZ = -33;
    a.BackColor = 0x00FF8040;
    a.Save(store);
    CSaverSettings b;
    b.Load(store, {"/shared", "/user"});
    EXPECT_EQ(b.ImageFolders, a.ImageFolders);
    EXPECT_EQ(b.SoundFolders, a.SoundFolders);
    EXPECT_EQ(b.SpinZ, -33);
    EXPECT_EQ(b.BackColor, 0x00FF8040);
}

TEST_F(IniStoreTest, ABatchIsWrittenWholeOrNotAtAll)
{
    WriteFile("; mine\n[Settings]\nDelay=30\n");
    IniProfileStore store(path_);
    EXPECT_TRUE(store.WriteBatch({{"Settings", "Delay", "9"}, {"Paths", "Path0", "/p"}, {"Settings", "Random", "0"}}));
    EXPECT_EQ(ReadFile(), "; mine\n[Settings]\nDelay=9\nRandom=0\n\n[Paths]\nPath0=/p\n");
    EXPECT_EQ(store.Location(), path_);

    // A temporary file that cannot be made: nothing of the batch lands.
    const std::string before = ReadFile();
    fs::create_directories(path_ + ".tmp");
    EXPECT_FALSE(store.WriteBatch({{"Settings", "Delay", "1"}, {"Settings", "Random", "1"}}));
    EXPECT_EQ(ReadFile(), before);
    fs::remove_all(path_ + ".tmp");

    // A file made read-only is left alone, even by the superuser.
    chmod(path_.c_str(), 0444);
    EXPECT_FALSE(store.WriteBatch({{"Settings", "Delay", "1"}}));
    EXPECT_FALSE(store.WriteProfileInt("Settings", "Delay", 1));
    chmod(path_.c_str(), 0600);
    EXPECT_EQ(ReadFile(), before);
}

TEST(BatchingProfileStore, CollectsWritesInOrderAndReadsThrough)
{
    MemoryProfileStore backing;
    backing.WriteProfileInt("Settings", "Delay", 30);
    BatchingProfileStore batch(backing);
    EXPECT_EQ(batch.GetProfileInt("Settings", "Delay", 15), 30);
    CSaverSettings s;
    s.ImageFolders = {"/a", ":/b"};
    s.Save(batch);
    // Nothing reached the backing store; the batch holds the record in save order.
    EXPECT_EQ(backing.GetProfileInt("Settings", "Delay", 15), 30);
    ASSERT_GE(batch.Writes().size(), 6u);
    EXPECT_EQ(batch.Writes()[0].key, "Delay");
    EXPECT_EQ(batch.Writes()[1].key, "Recursive");
    EXPECT_EQ(batch.Writes()[2].key, "Random");
    EXPECT_EQ(batch.Writes()[3].section, "Paths");
    EXPECT_EQ(batch.Writes()[4].value, ":/b");
    EXPECT_TRUE(backing.WriteBatch(batch.Writes()));
    EXPECT_EQ(backing.GetProfileString("Paths", "Path1", ""), ":/b");
}

TEST_F(IniStoreTest, ValuesKeepTheirBlanksAndWrittenValuesReadBackIdentical)
{
    // By hand: the text after '=' as it stands; a CR line end is no part of it.
    WriteFile("[Paths]\nCount=3\nPath0=/photos/2019 \nPath1=/photos/tabbed\t\r\nPath2=C:\\new\\\"x\"\n"
              "[Settings]\nDelay = 30 \n");
    {
        IniProfileStore store(path_);
        EXPECT_EQ(store.GetProfileString("Paths", "Path0", ""), "/photos/2019 ");
        EXPECT_EQ(store.GetProfileString("Paths", "Path1", ""), "/photos/tabbed\t");
        EXPECT_EQ(store.GetProfileString("Paths", "Path2", ""), "C:\\new\\\"x\"");
        EXPECT_EQ(store.GetProfileInt("Settings", "Delay", 15), 30);
    }

    // Whatever the program writes comes back, each value on one line.
    const std::vector<std::string> values{
        "/photos/2019 ", "  both  ", "\t", "two\nlines", "ends in CR\r", "\r\n", "\"quoted\"", "\"",
        "a\"b\\n", "\\", "trailing backslash\\", "=;#[x]", "", std::string("nul\0inside", 10)};
    {
        IniProfileStore store(path_);
        for (std::size_t i = 0; i < values.size(); ++i)
            ASSERT_TRUE(store.WriteProfileString("Odd", "V" + std::to_string(i), values[i]));
    }
    IniProfileStore fresh(path_);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(fresh.GetProfileString("Odd", "V" + std::to_string(i), "?"), values[i]) << "value " << i;
    std::string text = ReadFile();
    std::size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    // 7 hand lines, a blank line, the section line and one line per value.
    EXPECT_EQ(lines, 7u + 2u + values.size()) << text;
    // Values a line holds as they are are written plainly, for hand edits.
    EXPECT_NE(text.find("\nV0=/photos/2019 \n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nV9=\\\n"), std::string::npos) << text;
}

TEST_F(IniStoreTest, FolderListReadCostsTheFileNotTheStoredCount)
{
    // A typo'd Count: reading must be bounded by the keys present (the test's
    // time limit catches a probe of every index).
    WriteFile("[Paths]\nCount=2000000000\nPath0=/a\nPATH1=\npath2=/c\nPath5=/f\nPath01=/not-an-entry\n"
              "Path-1=/neg\nPath=/none\nPathX=/none\nPath0=/a2\n[SndPaths]\nCount=2\nPath0=/m0\nPath2=/beyond\n"
              "Path1=/m1\nPath1=\n");
    IniProfileStore store(path_);
    EXPECT_EQ(LoadFolderList(store, "Paths"), (StringList{"/a2", "/c", "/f"}));
    // Entries at or past Count are ignored; a later empty duplicate drops an entry.
    EXPECT_EQ(LoadFolderList(store, "SndPaths"), (StringList{"/m0"}));

    MemoryProfileStore memory;
    memory.Set("Paths", "Count", "4294967295");
    memory.Set("Paths", "Path0", "/a");
    EXPECT_TRUE(LoadFolderList(memory, "Paths").empty());
    memory.Set("Paths", "Count", "2147483647");
    memory.Set("Paths", "Path2147483646", "/last");
    memory.Set("Paths", "Path10", "/ten");
    memory.Set("Paths", "Path9", "/nine");
    EXPECT_EQ(LoadFolderList(memory, "Paths"), (StringList{"/a", "/nine", "/ten", "/last"}));
}

TEST(ProfileInt, AcceptsEvery32BitTextAndNothingElse)
{
    EXPECT_EQ(ParseProfileInt("0"), 0);
    EXPECT_EQ(ParseProfileInt("-1"), -1);
    EXPECT_EQ(ParseProfileInt("4294967295"), -1);
    EXPECT_EQ(ParseProfileInt("2147483648"), INT32_MIN);
    EXPECT_EQ(ParseProfileInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseProfileInt(" 42 "), 42);
    EXPECT_EQ(ParseProfileInt("4294967296"), std::nullopt);
    EXPECT_EQ(ParseProfileInt("-2147483649"), std::nullopt);
    EXPECT_EQ(ParseProfileInt("12abc"), std::nullopt);
    EXPECT_EQ(ParseProfileInt(""), std::nullopt);
    EXPECT_EQ(ParseProfileInt("0x10"), std::nullopt);
}
