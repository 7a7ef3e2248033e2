#include "saver/host_command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::optional<std::string> Host(std::vector<std::string_view> args, const char* env = nullptr,
                                unsigned long root = 0x2a1)
{
    return HostCommandLine(args, env, [root] { return root; });
}
} // namespace

TEST(HostCommandLine, WindowIdInDecimalOrHexBecomesAParentHandle)
{
    EXPECT_EQ(Host({"-window-id", "1234"}), "/p 1234");
    EXPECT_EQ(Host({"--window-id", "0x4a0000b"}), "/p 77594635");
    EXPECT_EQ(Host({"-fps", "-window-id", "0X10"}), "/p 16");
}

TEST(HostCommandLine, BadOrMissingWindowIdNamesNoWindow)
{
    EXPECT_EQ(Host({"-window-id"}), "/p -1");
    EXPECT_EQ(Host({"-window-id", "12ab"}), "/p -1");
    EXPECT_EQ(Host({"-window-id", "0"}), "/p -1");
    EXPECT_EQ(Host({"-window-id", "0x"}), "/p -1");
}

TEST(HostCommandLine, EnvironmentWindowServesOnlyAnEmptyLineOrTheHackForms)
{
    EXPECT_EQ(Host({}, "0x1e00007"), "/p 31457287");
    EXPECT_EQ(Host({"-root"}, "99"), "/p 99");
    EXPECT_EQ(Host({"--root"}, "99"), "/p 99");
    EXPECT_EQ(Host({"-window-id", "5"}, "99"), "/p 5");
    // A value that is no window id is not taken: -root then means the real root.
    EXPECT_EQ(Host({}, "junk"), std::nullopt);
    EXPECT_EQ(Host({"-root"}, "junk"), "/p 673");
    EXPECT_EQ(Host({}, ""), std::nullopt);
}

TEST(HostCommandLine, ExplicitCommandLineWinsOverTheEnvironment)
{
    // Typed in a terminal that a host opened: the user means what they typed.
    EXPECT_EQ(Host({"/c"}, "0x1e00007"), std::nullopt);
    EXPECT_EQ(Host({"/s"}, "0x1e00007"), std::nullopt);
    EXPECT_EQ(Host({"-s"}, "99"), std::nullopt);
    EXPECT_EQ(Host({"/p", "1234"}, "99"), std::nullopt);
    EXPECT_EQ(Host({"/a"}, "99"), std::nullopt);
    // Anything else that is not a hack form is no permission either.
    EXPECT_EQ(Host({"-fps"}, "99"), std::nullopt);
}

TEST(HostCommandLine, RootDrawsIntoTheRootWindow)
{
    EXPECT_EQ(Host({"-root"}), "/p 673");
    EXPECT_EQ(Host({"-root"}, nullptr, 0), std::nullopt);
}

TEST(HostCommandLine, WindowsStyleCommandLinesAreLeftAlone)
{
    EXPECT_EQ(Host({}), std::nullopt);
    EXPECT_EQ(Host({"/s"}), std::nullopt);
    EXPECT_EQ(Host({"/p", "1234"}), std::nullopt);
    EXPECT_EQ(Host({"-c"}), std::nullopt);
}

TEST(HostCommandLine, ParseWindowIdAcceptsOnlyWholeNumbers)
{
    EXPECT_EQ(ParseWindowId(" 42 "), 42u);
    EXPECT_EQ(ParseWindowId("0xff"), 255u);
    EXPECT_EQ(ParseWindowId("-5"), std::nullopt);
    EXPECT_EQ(ParseWindowId("4294967296999"), std::nullopt);
    EXPECT_EQ(ParseWindowId(""), std::nullopt);
}
