#include "media/path_helpers.h"
#include "media/wildcard_mask.h"

#include <gtest/gtest.h>

TEST(PathHelpers, EitherSeparatorSplitsAndTheLastOneCounts)
{
    EXPECT_EQ(GetFolder("C:/Pics\\a.jpg"), "C:/Pics\\");
    EXPECT_EQ(GetFileName("C:/Pics\\a.jpg"), "a.jpg");
    EXPECT_EQ(GetFolder("/home/u/Pics/a.jpg"), "/home/u/Pics/");
    EXPECT_EQ(GetFileName("/home/u/Pics/"), "");
    EXPECT_EQ(GetFolder("a.jpg"), "");
    EXPECT_EQ(GetFileName("a.jpg"), "a.jpg");
    EXPECT_EQ(GetFolder("C:a.jpg"), ""); // a drive prefix is no separator
    EXPECT_EQ(GetFolder("C:\\a.jpg"), "C:\\");
}

TEST(PathHelpers, ExtensionComesFromTheFileNameOnly)
{
    EXPECT_EQ(GetExtension("a.tar.JPG"), "JPG");
    EXPECT_EQ(GetExtension("photo."), "");
    EXPECT_EQ(GetExtension("C:\\dir.d\\file"), "");
    EXPECT_EQ(GetExtension("/srv/dir.d/file"), "");
    EXPECT_EQ(GetExtension("/srv/.hidden"), "hidden");
    EXPECT_EQ(GetExtension(""), "");
}

TEST(PathHelpers, JoinAddsTheSeparatorOnlyWhenMissing)
{
    EXPECT_EQ(JoinPath("C:", "*.jpg"), std::string("C:") + kPathSeparator + "*.jpg");
    EXPECT_EQ(JoinPath("C:\\Pics\\", "*.jpg"), "C:\\Pics\\*.jpg");
    EXPECT_EQ(JoinPath("/srv/pics/", "*.jpg"), "/srv/pics/*.jpg");
    EXPECT_EQ(JoinPath("/srv/pics", "*.jpg"), "/srv/pics/*.jpg");
    EXPECT_EQ(JoinPath("", "x"), "x");
}

TEST(WildcardMask, StarAndQuestionMarkIgnoringAsciiCase)
{
    EXPECT_TRUE(WildcardMask("*.jpg").Matches("Holiday.JPG"));
    EXPECT_TRUE(WildcardMask("*.jpg").Matches(".jpg"));
    EXPECT_FALSE(WildcardMask("*.jpg").Matches("a.jpeg"));
    EXPECT_FALSE(WildcardMask("*.jpg").Matches("a.jpg.txt"));
    EXPECT_FALSE(WildcardMask("*.jpeg").Matches("a.jpg"));
    EXPECT_TRUE(WildcardMask("IMG_??.*").Matches("img_01.png"));
    EXPECT_FALSE(WildcardMask("IMG_??.*").Matches("img_1.png"));
    EXPECT_TRUE(WildcardMask("a*b*c").Matches("aXbYbZc"));
    EXPECT_FALSE(WildcardMask("a*b*c").Matches("aXbYcZ"));
    EXPECT_TRUE(WildcardMask("Report").Matches("REPORT"));
    EXPECT_FALSE(WildcardMask("Report").Matches("Reports"));
    // Only ASCII letters fold: "É" and "é" differ.
    EXPECT_FALSE(WildcardMask("\xc3\x89t\xc3\xa9.jpg").Matches("\xc3\xa9t\xc3\xa9.jpg"));
    EXPECT_TRUE(WildcardMask("*").Matches(""));
    EXPECT_FALSE(WildcardMask("").Matches("a"));
}

TEST(WildcardMask, StarDotStarMatchesNamesWithoutADot)
{
    EXPECT_TRUE(WildcardMask("*.*").Matches("Folder"));
    EXPECT_TRUE(WildcardMask("*.*").Matches("a.b"));
    EXPECT_FALSE(WildcardMask("?.*").Matches("ab"));
}
