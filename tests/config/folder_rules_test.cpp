// Folder entries, the integer box and the folder browser's rules, without a display.
#include "app/profile_store.h"
#include "config/browse_folder.h"
#include "config/folder_entries.h"
#include "config/page_binding.h"

#include <gtest/gtest.h>

#include <QDir>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(FolderEntries, DisabledFoldersKeepTheirMarkBothWays)
{
    EXPECT_EQ(FolderItemFromEntry(":/old/photos"), (FolderItem{"/old/photos", false}));
    EXPECT_EQ(FolderItemFromEntry("/new"), (FolderItem{"/new", true}));
    // Only the first ':' is the mark; a folder may itself begin with one.
    EXPECT_EQ(FolderItemFromEntry("::odd"), (FolderItem{":odd", false}));
    EXPECT_EQ(EntriesFromFolderItems({{"/a", true}, {"", true}, {"/b", false}, {"", false}, {":odd", false}}),
              (std::vector<std::string>{"/a", ":/b", "::odd"}));
    EXPECT_EQ(FolderOfEntry(":/b"), "/b");
}

TEST(FolderEntries, EveryListedFolderMustExistEnabledOrNot)
{
    const fs::path here = fs::temp_directory_path();
    const std::string gone = (here / ("tsv-gone-" + std::to_string(getpid()))).string();
    std::vector<std::string> entries{here.string(), ":" + here.string()};
    EXPECT_EQ(FirstMissingFolder(entries), nullptr);
    entries.push_back(":" + gone);
    entries.push_back(gone + "2");
    ASSERT_NE(FirstMissingFolder(entries), nullptr);
    EXPECT_EQ(*FirstMissingFolder(entries), ":" + gone);
    // A bare mark names no folder at all.
    EXPECT_NE(FirstMissingFolder({":"}), nullptr);
    EXPECT_EQ(FirstMissingFolder({}), nullptr);
}

TEST(BoxInteger, AcceptsSignedDecimalsWithinThirtyTwoBits)
{
    EXPECT_EQ(ParseBoxInteger("15"), 15);
    EXPECT_EQ(ParseBoxInteger("  -3 "), -3);
    EXPECT_EQ(ParseBoxInteger("+7"), 7);
    EXPECT_EQ(ParseBoxInteger("2147483647"), 2147483647);
    for (const char* bad : {"", "  ", "abc", "1.5", "12a", "2147483648", "- 1", "+-1", "0x10"})
        EXPECT_FALSE(ParseBoxInteger(bad)) << bad;
}

namespace {
class OneAnswer : public FolderChooser {
public:
    explicit OneAnswer(std::optional<std::string> a) : answer(std::move(a)) {}
    std::optional<std::string> ChooseFolder(QWidget*, const std::string& t, const std::string& s) override
    {
        title = t;
        start = s;
        return answer;
    }
    std::optional<std::string> answer;
    std::string title, start;
};
} // namespace

TEST(BrowseFolder, RemembersTheChoiceWithOneTrailingSeparator)
{
    const std::string tmp = fs::temp_directory_path().string();
    MemoryProfileStore store;
    OneAnswer chooser(tmp);
    std::optional<std::string> got = BrowseFolder(chooser, store, nullptr, tmp, "Img");
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, tmp + "/");
    EXPECT_EQ(chooser.title, "Select Directory");
    EXPECT_EQ(chooser.start, tmp);
    EXPECT_EQ(store.GetProfileString("LastPaths", "Img", ""), tmp + "/");

    chooser.answer = tmp + "/";
    EXPECT_EQ(BrowseFolder(chooser, store, nullptr, "", "Sound"), tmp + "/");
    EXPECT_EQ(store.GetProfileString("LastPaths", "Sound", ""), tmp + "/");
    EXPECT_EQ(WithTrailingSeparator("/"), "/");
}

TEST(BrowseFolder, ACancelOrANonFolderChangesNothingAndAMissingStartFallsBack)
{
    MemoryProfileStore store;
    store.WriteProfileString("LastPaths", "Img", "/kept/");
    OneAnswer chooser(std::nullopt);
    EXPECT_FALSE(BrowseFolder(chooser, store, nullptr, "/no/such/folder/anywhere", "Img"));
    EXPECT_EQ(chooser.start, QDir::currentPath().toStdString());
    chooser.answer = "/no/such/folder/anywhere";
    EXPECT_FALSE(BrowseFolder(chooser, store, nullptr, "", "Img"));
    EXPECT_EQ(chooser.start, QDir::currentPath().toStdString());
    chooser.answer = "";
    EXPECT_FALSE(BrowseFolder(chooser, store, nullptr, "", "Img"));
    EXPECT_EQ(store.GetProfileString("LastPaths", "Img", ""), "/kept/");
}
