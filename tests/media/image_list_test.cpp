#include "media/image_list.h"
#include "media/path_helpers.h"
#include "media/sound_list.h"
#include "media/sort_file_list.h"

#include "app/test_log.h"
#include "media/media_test_fixture.h"
#include "media/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {
class ImageListTest : public MediaTest {
protected:
    // Every file gets the same time, so that the by-time order (stable)
    // shows the collection order.
    std::string Add(const std::string& rel)
    {
        std::string p = tree.File(rel);
        tree.Age(rel, 1000);
        return p;
    }
    TempTree tree;
};
} // namespace

TEST_F(ImageListTest, CollectsFoldersInOrderThenMasksInOrderAndSkipsDisabledOnes)
{
    for (const char* f : {"one/x.bmp", "one/x.gif", "one/x.jpeg", "one/x.JPG", "one/x.png", "one/x.tif",
                          "two/sub/y.jpg", "two/y.gif", "off/z.jpg"})
        Add(f);
    settings.ImageFolders = {tree.Path("one"), ":" + tree.Path("off"), tree.Path("two") + "/"};
    settings.ImageSortType = kSortByModified;
    settings.ShowMoreFormats = 0;
    ScopedTestLog log;
    ASSERT_EQ(BuildImageList(settings, false), 7);
    EXPECT_EQ(settings.ImageFiles,
              (StringList{tree.Path("one/x.JPG"), tree.Path("one/x.jpeg"), tree.Path("one/x.gif"),
                          tree.Path("one/x.bmp"), tree.Path("one/x.png"), tree.Path("two/sub/y.jpg"),
                          tree.Path("two/y.gif")}));
    EXPECT_EQ(settings.AllImageFiles, settings.ImageFiles);
    EXPECT_EQ(log.Messages(),
              (std::vector<std::string>{"BuildImageList", "         ImgPath=" + tree.Path("one"),
                                        "         ImgPath=" + tree.Path("two") + "/",
                                        "         Image Files Count=7"}));
}

TEST_F(ImageListTest, DuplicatesRemainAndRecursionFollowsTheSetting)
{
    Add("p/a.jpg");
    Add("p/q/b.jpg");
    settings.ImageFolders = {tree.Path("p"), tree.Path("p/q"), tree.Path("p")};
    EXPECT_EQ(BuildImageList(settings, false), 5);
    settings.Recursive = 0;
    EXPECT_EQ(BuildImageList(settings, false), 3);
}

TEST_F(ImageListTest, PngOnlyWithTheCodecPathAndShowPng)
{
    Add("a.png");
    Add("b.jpg");
    settings.ImageFolders = {tree.Root()};
    for (int codec : {0, 1})
        for (int showPng : {0, 1}) {
            settings.codecPath = codec != 0;
            settings.ShowPng = showPng;
            EXPECT_EQ(BuildImageList(settings, false), codec && showPng ? 2 : 1) << codec << showPng;
        }
}

TEST_F(ImageListTest, MoreFormatsFollowTheOlderMasksOnlyWithTheCodecPathAndTheSetting)
{
    for (const char* f : {"x.tiff", "x.tif", "x.WEBP", "x.avif", "x.heif", "x.HEIC", "x.png", "x.bmp", "x.jpg",
                          "x.jxl", "x.heics"})
        Add(f);
    settings.ImageFolders = {tree.Root()};
    settings.ImageSortType = kSortByModified;
    ASSERT_EQ(BuildImageList(settings, false), 9);
    EXPECT_EQ(settings.ImageFiles,
              (StringList{tree.Path("x.jpg"), tree.Path("x.bmp"), tree.Path("x.png"), tree.Path("x.HEIC"),
                          tree.Path("x.heif"), tree.Path("x.avif"), tree.Path("x.WEBP"), tree.Path("x.tif"),
                          tree.Path("x.tiff")}));
    EXPECT_EQ(BuildImageList(settings, true), 9);   // the sheet's count sees them too
    for (int codec : {0, 1})
        for (int more : {0, 1}) {
            settings.codecPath = codec != 0;
            settings.ShowMoreFormats = more;
            settings.ShowPng = 0;
            EXPECT_EQ(BuildImageList(settings, false), codec && more ? 8 : 2) << codec << more;
        }
}

TEST_F(ImageListTest, CountingModeCountsAndLeavesTheFullListAlone)
{
    Add("a.jpg");
    Add("b.gif");
    settings.ImageFolders = {tree.Root()};
    ASSERT_EQ(BuildImageList(settings, false), 2);
    const StringList full = settings.AllImageFiles;
    Add("c.bmp");
    ScopedTestLog log;
    EXPECT_EQ(BuildImageList(settings, true), 3);
    EXPECT_TRUE(settings.ImageFiles.empty());
    EXPECT_EQ(settings.AllImageFiles, full);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"BuildImageList", "         ImgPath=" + tree.Root()}));
}

TEST_F(ImageListTest, EmptyResultAndEmptyEntriesScanNothing)
{
    settings.AllImageFiles = {"from before"};
    settings.ImageFiles = {"from before"};
    // An empty entry must not scan the working folder, which holds an image here.
    Add("cwd.jpg");
    fs::path old = fs::current_path();
    fs::current_path(tree.Root());
    settings.ImageFolders = {"", tree.Path("missing")};
    EXPECT_EQ(BuildImageList(settings, false), 0);
    fs::current_path(old);
    EXPECT_TRUE(settings.ImageFiles.empty());
    EXPECT_EQ(settings.AllImageFiles, StringList{"from before"});
}

TEST_F(ImageListTest, AStopRequestEndsBothBuildsAndLeavesTheFullListsAlone)
{
    Add("a.jpg");
    Add("m/a.mp3");
    settings.ImageFolders = {tree.Root()};
    settings.SoundFolders = {tree.Path("m")};
    ASSERT_EQ(BuildImageList(settings, false), 1);
    ASSERT_EQ(BuildSndList(settings, false), 1);
    const StringList images = settings.AllImageFiles, sounds = settings.AllSoundFiles;
    Add("b.jpg");
    settings.stopListBuild = true;
    ScopedTestLog log;
    EXPECT_EQ(BuildImageList(settings, false), 0);
    EXPECT_EQ(BuildSndList(settings, false), 0);
    EXPECT_TRUE(settings.ImageFiles.empty());
    EXPECT_TRUE(settings.SoundFiles.empty());
    EXPECT_EQ(settings.AllImageFiles, images);
    EXPECT_EQ(settings.AllSoundFiles, sounds);
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"BuildImageList", "BuildImageList: stopped", "BuildSndList",
                                                        "BuildSndList: stopped"}));
}

TEST(SortFileList, PathAndNameOrderIgnoreAsciiCaseOnly)
{
    StringList l{"C:\\B\\b.jpg", "C:\\b\\A.JPG"};
    SortFileList(l, kSortByPath, false);
    EXPECT_EQ(l, (StringList{"C:\\b\\A.JPG", "C:\\B\\b.jpg"}));

    l = {"C:\\a\\b.jpg", "D:\\z\\a.jpg"};
    SortFileList(l, kSortByName, false);
    EXPECT_EQ(l, (StringList{"D:\\z\\a.jpg", "C:\\a\\b.jpg"}));

    // Unknown types sort by path; bytes beyond ASCII compare unsigned, after
    // every ASCII letter; a prefix sorts first; '_' (0x5F) sorts before the
    // folded letters.
    l = {"/p/\xc3\xa9t\xc3\xa9.jpg", "/p/Zoo.jpg", "/p/zoo.jpg.bak", "/p/_x.jpg", "/p/ab.jpg", "/p/AB.jpg"};
    SortFileList(l, 7, true);
    EXPECT_EQ(l, (StringList{"/p/_x.jpg", "/p/ab.jpg", "/p/AB.jpg", "/p/Zoo.jpg", "/p/zoo.jpg.bak",
                             "/p/\xc3\xa9t\xc3\xa9.jpg"}));

    // Equal names from different folders keep their collection order.
    l = {"/z/same.jpg", "/a/SAME.jpg", "/m/same.jpg"};
    SortFileList(l, kSortByName, false);
    EXPECT_EQ(l, (StringList{"/z/same.jpg", "/a/SAME.jpg", "/m/same.jpg"}));

    EXPECT_LT(CompareNoCase("abc", "ABCD"), 0);
    EXPECT_EQ(CompareNoCase("aBc", "AbC"), 0);
    EXPECT_GT(CompareNoCase("\x80", "z"), 0);
}

TEST(SortFileList, ByModificationTimeEitherWay)
{
    TempTree t;
    std::string oldest = t.File("old.jpg"), middle = t.File("mid.jpg"), newest = t.File("new.jpg");
    t.Age("old.jpg", 3000);
    t.Age("mid.jpg", 2000);
    t.Age("new.jpg", 1000);
    // A file whose status cannot be read counts as modified now.
    std::string missing = t.Path("gone.jpg");
    StringList l{middle, missing, newest, oldest};
    SortFileList(l, kSortByModified, true);
    EXPECT_EQ(l, (StringList{missing, newest, middle, oldest}));
    SortFileList(l, kSortByModified, false);
    EXPECT_EQ(l, (StringList{oldest, middle, newest, missing}));
    StringList empty;
    SortFileList(empty, kSortByModified, false);
    EXPECT_TRUE(empty.empty());
}

TEST(SortFileList, AgreesWithAPlainComparisonSortOnAwkwardPaths)
{
    // Folders that are prefixes of others, names with bytes below and above
    // the separator, case twins, paths without a folder, and duplicates.
    const char* parts[] = {"a", "A", "a b", "a-b", "a.b", "ab", "\xc3\xa9", "_", "Z", "a/", "b\\", "", " ", "~"};
    std::mt19937 rng(7);
    StringList paths;
    for (int i = 0; i < 3000; ++i) {
        std::string p = rng() % 3 ? "/" : "";
        int n = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < n; ++k)
            p += std::string(parts[rng() % std::size(parts)]) + (k + 1 < n ? "/" : "");
        paths.push_back(p);
    }
    for (bool byName : {false, true}) {
        StringList want = paths;
        std::stable_sort(want.begin(), want.end(), [&](const std::string& a, const std::string& b) {
            return byName ? CompareNoCase(GetFileName(a), GetFileName(b)) < 0 : CompareNoCase(a, b) < 0;
        });
        StringList got = paths;
        SortFileList(got, byName ? kSortByName : kSortByPath, false);
        EXPECT_EQ(got, want) << byName;
    }
}
