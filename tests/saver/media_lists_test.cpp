// The lists of a show's start: built in full, the "no files" message due only
// outside preview when no image is found, and nothing more once the process
// is ending.
#include "saver/media_lists.h"

#include "app/saver_settings.h"
#include "app/test_log.h"
#include "media/temp_tree.h"

#include <gtest/gtest.h>

TEST(MediaLists, BothListsAndTheNoFilesMessageOnlyWhenDueOutsidePreview)
{
    TempTree tree;
    CSaverSettings settings;
    settings.ImageFolders = {tree.Path("missing")};
    EXPECT_EQ(LoadMediaLists(settings, true), ShowLists::Ready);
    EXPECT_EQ(LoadMediaLists(settings, false), ShowLists::NoImages);

    tree.File("a.jpg");
    tree.File("music/a.mp3");
    settings.ImageFolders = {tree.Root()};
    settings.SoundFolders = {tree.Path("music")};
    EXPECT_EQ(LoadMediaLists(settings, false), ShowLists::Ready);
    EXPECT_EQ(settings.ImageFiles.size(), 1u);
    EXPECT_EQ(settings.SoundFiles.size(), 1u);
}

TEST(MediaLists, AnEndingProcessBuildsNothingAndAsksForNoMessage)
{
    TempTree tree;
    tree.File("a.jpg");
    CSaverSettings settings;
    settings.ImageFolders = {tree.Root()};
    settings.stopListBuild = true;
    ScopedTestLog log;
    EXPECT_EQ(LoadMediaLists(settings, false), ShowLists::Stopped);
    EXPECT_TRUE(settings.ImageFiles.empty());
    // The sound list is not even begun.
    EXPECT_EQ(log.Messages(), (std::vector<std::string>{"BuildImageList", "BuildImageList: stopped"}));
}
