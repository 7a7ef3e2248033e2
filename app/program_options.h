#pragma once
// The options a person types in a terminal: --help, --version and
// --add-to-xscreensaver. They are answered before anything needs a display;
// every other command line goes on to the screen-saver forms.
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum class TerminalOption { None, Help, Version, AddToXScreenSaver };

// The first terminal option among `args` (the arguments after the program name).
TerminalOption FindTerminalOption(std::span<const std::string_view> args);

// "tessaview 1.0.0" for `program` "tessaview".
std::string VersionLine(std::string_view program);
// The usage of tessaview: run modes, host forms, these options, the files.
std::string UsageText();

// Answers a terminal option of tessaview's command line on standard output
// (errors on standard error) and gives the exit status; nothing when the
// command line holds none, so the show or the sheet runs.
std::optional<int> RunTerminalOption(int argc, char** argv);
