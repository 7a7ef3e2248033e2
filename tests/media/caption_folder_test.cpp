#include "media/caption_folder.h"

#include <gtest/gtest.h>

TEST(CaptionFolder, ThePathBelowTheListFolderOrItsOwnName)
{
    const std::vector<std::string> folders = {"/home/u/Pictures", "/srv/photos/"};
    EXPECT_EQ(CaptionFolder("/home/u/Pictures/2019/Rome/a.jpg", folders), "2019/Rome");
    EXPECT_EQ(CaptionFolder("/home/u/Pictures/a.jpg", folders), "Pictures");
    EXPECT_EQ(CaptionFolder("/srv/photos/a.jpg", folders), "photos");
    EXPECT_EQ(CaptionFolder("/srv/photos/x/a.jpg", folders), "x");
    // A folder whose name merely starts like a list folder is not inside it.
    EXPECT_EQ(CaptionFolder("/home/u/Pictures2/b/a.jpg", folders), "b");
    // Folder lists written elsewhere may use backslashes; the caption uses '/'.
    EXPECT_EQ(CaptionFolder("D:\\Fotos\\2020\\Paris\\a.jpg", {"D:\\Fotos"}), "2020/Paris");
}

TEST(CaptionFolder, TheInnermostEnabledFolderCounts)
{
    EXPECT_EQ(CaptionFolder("/p/2019/Rome/a.jpg", {"/p", "/p/2019"}), "Rome");
    EXPECT_EQ(CaptionFolder("/p/2019/Rome/a.jpg", {"/p/2019", "/p"}), "Rome");
    // A switched-off folder found nothing; the enabled one around it did.
    EXPECT_EQ(CaptionFolder("/p/2019/Rome/a.jpg", {"/p", ":/p/2019"}), "2019/Rome");
    // Outside every enabled folder: the photo's own folder by name.
    EXPECT_EQ(CaptionFolder("/p/2019/Rome/a.jpg", {":/p", "", "/q"}), "Rome");
    EXPECT_EQ(CaptionFolder("/p/2019/Rome/a.jpg", {}), "Rome");
    // The root holds everything but has no name of its own.
    EXPECT_EQ(CaptionFolder("/x/a.jpg", {"/"}), "x");
    EXPECT_EQ(CaptionFolder("/a.jpg", {"/"}), "");
    EXPECT_EQ(CaptionFolder("a.jpg", {}), "");
}
