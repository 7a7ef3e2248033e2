#pragma once
// The screen-saver command line: /s, /c, /p <handle>, /a, or empty.
#include <cstdint>
#include <string_view>

enum StartType : int {
    Saver = 0,
    Configure = 1,
    Preview = 2,
    ChangePassword = 3,
};

struct CommandLine {
    StartType startType = Configure;
    bool hasParent = false;     // only "P" gives a parent handle
    long parentHandle = 0;
};

// `text` is what follows the program name.
CommandLine ParseCommandLine(std::string_view text);
