#pragma once
// The program draws on X11 only, on a Wayland session through XWayland. Qt
// ends the process with an abort when it cannot reach its display, so the
// display is tried first and a missing one gets one line and status 1, as
// the desktop's screen-saver hacks do.
#include <optional>
#include <string>
#include <string_view>

// The line to print when the display named by DISPLAY cannot be opened
// ("tessaview: cannot open display \":7\""); nothing when it opens.
std::optional<std::string> DisplayProblem(std::string_view program);

// Makes the Qt application constructed while this lives take its X11
// platform, whatever QT_QPA_PLATFORM says; programs started later (a text
// viewer for the log) see the user's own value again after Restore.
class X11PlatformChoice {
public:
    X11PlatformChoice();
    ~X11PlatformChoice() { Restore(); }
    X11PlatformChoice(const X11PlatformChoice&) = delete;
    X11PlatformChoice& operator=(const X11PlatformChoice&) = delete;
    void Restore();

private:
    std::optional<std::string> previous_;
    bool restored_ = false;
};
