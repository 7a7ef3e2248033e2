// The terminal's options: which argument is one, and what --help and
// --version print. The screen-saver forms stay with the letter rule.
#include "app/program_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
TerminalOption Find(std::vector<std::string_view> args) { return FindTerminalOption(args); }
} // namespace

TEST(ProgramOptions, TheFirstTerminalOptionAnywhereWins)
{
    EXPECT_EQ(Find({"--help"}), TerminalOption::Help);
    EXPECT_EQ(Find({"-h"}), TerminalOption::Help);
    EXPECT_EQ(Find({"--version"}), TerminalOption::Version);
    EXPECT_EQ(Find({"--add-to-xscreensaver"}), TerminalOption::AddToXScreenSaver);
    EXPECT_EQ(Find({"/s", "--help"}), TerminalOption::Help);
    EXPECT_EQ(Find({"--version", "--help"}), TerminalOption::Version);
    // The run modes, the hosts' forms and unknown words are no terminal options.
    for (std::vector<std::string_view> args :
         std::vector<std::vector<std::string_view>>{{}, {"/s"}, {"-s"}, {"/c"}, {"/p", "1234"}, {"-root"},
                                                     {"--root"}, {"-window-id", "0x400007"}, {"/h"}, {"--helpme"},
                                                     {"-help"}, {"--Version"}})
        EXPECT_EQ(Find(args), TerminalOption::None) << (args.empty() ? "" : args[0]);
}

TEST(ProgramOptions, VersionLinesAndAUsageThatFitsATerminal)
{
    EXPECT_EQ(VersionLine("tessaview"), "tessaview 1.0.0\n");
    EXPECT_EQ(VersionLine("tessaview-image"), "tessaview-image 1.0.0\n");
    // Every line of the usage fits a terminal of 100 columns.
    const std::string usage = UsageText();
    std::size_t start = 0;
    for (std::size_t nl; (nl = usage.find('\n', start)) != std::string::npos; start = nl + 1)
        EXPECT_LE(nl - start, 100u) << usage.substr(start, nl - start);
}
