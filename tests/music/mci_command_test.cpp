#include "music/mci_command.h"

#include <gtest/gtest.h>

#include <set>

TEST(MciCommand, ParsesTheFourCommandsOfThePlayer)
{
    MciCommand c;
    ASSERT_EQ(ParseMciCommand("open \"/music/My Song.mid\" alias tsvsound", c), kMciOk);
    EXPECT_EQ(c.verb, MciVerb::Open);
    EXPECT_EQ(c.device, "/music/My Song.mid");
    EXPECT_EQ(c.alias, "tsvsound");
    EXPECT_FALSE(c.notify);

    ASSERT_EQ(ParseMciCommand("play tsvsound notify", c), kMciOk);
    EXPECT_EQ(c.verb, MciVerb::Play);
    EXPECT_EQ(c.device, "tsvsound");
    EXPECT_TRUE(c.notify);

    ASSERT_EQ(ParseMciCommand("stop tsvsound", c), kMciOk);
    EXPECT_EQ(c.verb, MciVerb::Stop);
    EXPECT_FALSE(c.notify);
    ASSERT_EQ(ParseMciCommand("close tsvsound", c), kMciOk);
    EXPECT_EQ(c.verb, MciVerb::Close);
}

TEST(MciCommand, KeywordsIgnoreCaseButNamesKeepIt)
{
    MciCommand c;
    ASSERT_EQ(ParseMciCommand("  OPEN   \"/A/B.Wav\"  ALIAS  Snd  NOTIFY ", c), kMciOk);
    EXPECT_EQ(c.device, "/A/B.Wav");
    EXPECT_EQ(c.alias, "Snd");
    EXPECT_TRUE(c.notify);
    ASSERT_EQ(ParseMciCommand("status snd MODE", c), kMciOk);
    EXPECT_EQ(c.item, "mode");
}

TEST(MciCommand, DoubledQuoteStandsForOneInsideAQuotedName)
{
    MciCommand c;
    ASSERT_EQ(ParseMciCommand("open \"/m/say \"\"hi\"\".wav\" alias x", c), kMciOk);
    EXPECT_EQ(c.device, "/m/say \"hi\".wav");
    EXPECT_EQ(c.alias, "x");
}

TEST(MciCommand, RefusesMalformedCommands)
{
    MciCommand c;
    EXPECT_EQ(ParseMciCommand("", c), kMciErrMissingCommandString);
    EXPECT_EQ(ParseMciCommand("   ", c), kMciErrMissingCommandString);
    EXPECT_EQ(ParseMciCommand("dance tsvsound", c), kMciErrUnrecognizedCommand);
    EXPECT_EQ(ParseMciCommand("play", c), kMciErrMissingDeviceName);
    EXPECT_EQ(ParseMciCommand("open \"\" alias x", c), kMciErrMissingDeviceName);
    EXPECT_EQ(ParseMciCommand("open \"/a b.wav alias x", c), kMciErrNoClosingQuote);
    EXPECT_EQ(ParseMciCommand("open a.wav alias", c), kMciErrMissingParameter);
    EXPECT_EQ(ParseMciCommand("play tsvsound loudly", c), kMciErrUnrecognizedKeyword);
    EXPECT_EQ(ParseMciCommand("play tsvsound alias x", c), kMciErrUnrecognizedKeyword);
    EXPECT_EQ(ParseMciCommand("status tsvsound", c), kMciErrMissingParameter);
    EXPECT_EQ(ParseMciCommand("status tsvsound mode length", c), kMciErrUnrecognizedKeyword);
}

TEST(MciErrorText, EveryCodeHasItsOwnTextAndUnknownCodesAreNamed)
{
    std::set<std::string> texts;
    for (MciError code = kMciErrMissingCommandString; code <= kMciErrNothingPlayable; ++code) {
        std::string text = MciErrorText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find("Unknown"), std::string::npos) << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(kMciErrNothingPlayable - kMciErrMissingCommandString + 1));
    EXPECT_NE(MciErrorText(9999).find("9999"), std::string::npos);
}
