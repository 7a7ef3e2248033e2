#pragma once
// The screen-saver hosts of X11 start a hack with "-window-id ID", with
// "-root", or with the window in XSCREENSAVER_WINDOW. Each form becomes the
// equivalent "/p ID" command line: the show draws inside that window, and the
// size of the window decides whether it is the small preview.
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// A window id as hosts write it: decimal or 0x-prefixed hexadecimal, nothing else.
std::optional<unsigned long> ParseWindowId(std::string_view text);

// `args` are the arguments after the program name; `envWindow` the value of
// XSCREENSAVER_WINDOW (null when unset); `rootWindow` answers the root window
// of the display. The environment's window is taken only with an empty command
// line or with -root; an explicit command line such as "/c" or "/s" wins over
// it. Nothing when none of the host forms applies, so the Windows-style letter
// rule does.
std::optional<std::string> HostCommandLine(std::span<const std::string_view> args, const char* envWindow,
                                           const std::function<unsigned long()>& rootWindow);

// The same for main(): reads the environment and the X display.
std::optional<std::string> HostCommandLine(int argc, char** argv);
