#include "media/image_selection.h"

#include "app/test_log.h"
#include "media/media_test_fixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace {
class SelectionTest : public MediaTest {
protected:
    void SetImages(const StringList& files)
    {
        settings.ImageFiles = files;
        settings.AllImageFiles = files;
    }
};
} // namespace

TEST_F(SelectionTest, EmptyListGivesNothing)
{
    ScopedTestLog log;
    EXPECT_EQ(ChooseBitmap(settings, true), "");
    EXPECT_EQ(ChooseBitmap(settings, false), "");
    EXPECT_EQ(log.Messages(),
              (std::vector<std::string>{"ChooseBitmap: File List Empty !", "ChooseBitmap: File List Empty !"}));
    EXPECT_TRUE(store.Writes().empty());
}

TEST_F(SelectionTest, RandomShowsEachImageOnceThenRefills)
{
    SetImages({"A", "B", "C"});
    for (int cycle = 0; cycle < 20; ++cycle) {
        ScopedTestLog log;
        std::set<std::string> shown;
        shown.insert(ChooseBitmap(settings, true));
        shown.insert(ChooseBitmap(settings, true));
        EXPECT_EQ(shown.size(), 2u);
        EXPECT_EQ(settings.ImageFiles.size(), 1u);
        shown.insert(ChooseBitmap(settings, true));
        EXPECT_EQ(shown, (std::set<std::string>{"A", "B", "C"}));
        EXPECT_EQ(settings.ImageFiles, (StringList{"A", "B", "C"}));
        auto m = log.Messages();
        ASSERT_EQ(m.size(), 3u);
        EXPECT_EQ(m[0].rfind("ChooseBitmap: GetRandom(3)= ", 0), 0u) << m[0];
        EXPECT_EQ(m[1].rfind("ChooseBitmap: GetRandom(2)= ", 0), 0u) << m[1];
        EXPECT_EQ(m[2], "ChooseBitmap: Random, Last Image");
    }
    EXPECT_EQ(settings.LastImageIndex, -1);
    EXPECT_TRUE(store.Writes().empty());
}

TEST_F(SelectionTest, RandomRemovalKeepsTheOrderOfTheRest)
{
    SetImages({"A", "B", "C", "D", "E"});
    std::string first = ChooseBitmap(settings, true);
    StringList rest;
    for (const char* s : {"A", "B", "C", "D", "E"})
        if (first != s)
            rest.push_back(s);
    EXPECT_EQ(settings.ImageFiles, rest);
}

TEST_F(SelectionTest, OneImageIsShownAgainAndAgain)
{
    SetImages({"only"});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ChooseBitmap(settings, true), "only");
        EXPECT_EQ(settings.ImageFiles, StringList{"only"});
    }
}

TEST_F(SelectionTest, SequentialResumesAfterTheStoredIndexAndWraps)
{
    SetImages({"1", "2", "3", "4", "5"});
    settings.LastImageIndex = 1;
    ScopedTestLog log;
    EXPECT_EQ(ChooseBitmap(settings, false), "3");
    EXPECT_EQ(ChooseBitmap(settings, false), "4");
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"ChooseBitmap: Index=2", "ChooseBitmap: Index=3"}));
    EXPECT_EQ(store.Writes(), (std::vector<std::string>{"Settings/LastImageIndex=2", "Settings/LastImageIndex=3"}));

    // A stored index at or beyond the end, or garbage, starts at the first image.
    for (int stored : {4, 9, -7, INT_MAX}) {
        store.ClearWrites();
        settings.LastImageIndex = stored;
        EXPECT_EQ(ChooseBitmap(settings, false), "1") << stored;
        EXPECT_EQ(store.Writes(), std::vector<std::string>{"Settings/LastImageIndex=0"});
    }
    EXPECT_EQ(settings.ImageFiles.size(), 5u);
}

TEST_F(SelectionTest, SequentialWithoutSaveLastImageWritesNothing)
{
    SetImages({"1", "2"});
    settings.SaveLastImage = 0;
    EXPECT_EQ(ChooseBitmap(settings, false), "1");
    EXPECT_EQ(ChooseBitmap(settings, false), "2");
    EXPECT_EQ(ChooseBitmap(settings, false), "1");
    EXPECT_TRUE(store.Writes().empty());
}

TEST_F(SelectionTest, StoredIndexSurvivesToTheNextRun)
{
    store.Set("Paths", "Count", "0");
    store.Set("Settings", "LastImageIndex", "-1"); // as the Reset button leaves it
    CSaverSettings run1;
    run1.Load(store, {});
    run1.ImageFiles = {"a", "b", "c"};
    EXPECT_EQ(ChooseBitmap(run1, false), "a");
    EXPECT_EQ(ChooseBitmap(run1, false), "b");
    CSaverSettings run2;
    run2.Load(store, {});
    run2.ImageFiles = {"a", "b", "c"};
    EXPECT_EQ(ChooseBitmap(run2, false), "c");
}
