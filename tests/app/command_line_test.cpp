#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, LetterDecidesTheRunMode)
{
    struct Case {
        const char* text;
        StartType type;
    } cases[] = {
        {"", Configure},     {"x", Configure},  {"/c", Configure}, {"/c:1234", Configure},
        {"-s", Saver},       {"/S", Saver},     {"s", Saver},      {"/a", ChangePassword},
        {"-A", ChangePassword}, {"/p 1234", Preview}, {"/", Configure}, {"/z", Configure},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseCommandLine(c.text).startType, c.type) << "'" << c.text << "'";
}

TEST(CommandLine, PreviewHandleIsReadLikeAtol)
{
    EXPECT_EQ(ParseCommandLine("/p 1234").parentHandle, 1234);
    EXPECT_TRUE(ParseCommandLine("/p 1234").hasParent);
    EXPECT_EQ(ParseCommandLine("/P   77  ").parentHandle, 77);
    EXPECT_EQ(ParseCommandLine("/p12abc").parentHandle, 12);
    // A colon is no digit: the handle is 0, so no parent is given.
    EXPECT_EQ(ParseCommandLine("/p:1234").parentHandle, 0);
    EXPECT_FALSE(ParseCommandLine("/p:1234").hasParent);
    EXPECT_FALSE(ParseCommandLine("/p").hasParent);
    // Nothing after the letter is looked at for the other modes.
    EXPECT_FALSE(ParseCommandLine("/s 1234").hasParent);
}
