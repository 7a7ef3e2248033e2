#pragma once
// xscreensaver runs only the hacks of its `programs:` resource, which a
// package cannot extend: the system's list belongs to xscreensaver's own
// package. A user's ~/.xscreensaver may carry a list of its own, to which
// xscreensaver appends the system's hacks; this adds the show to that list.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The hack line the show is listed with.
inline constexpr std::string_view kXScreenSaverEntry = "tessaview --root";

// One entry of a programs list, as xscreensaver reads it.
struct XScreenSaverProgram {
    bool enabled = true;
    std::string command;   // without the "-" mark, the visual and the description
};

// The entries of the last programs resource in the text of a ~/.xscreensaver
// (resource continuation lines joined, each entry ended by an escaped "\n").
std::vector<XScreenSaverProgram> XScreenSaverPrograms(std::string_view fileText);

struct ProgramsEdit {
    enum class Outcome { Added, AlreadyListed };
    Outcome outcome = Outcome::Added;
    std::string text;              // the file's text after the edit
    XScreenSaverProgram listed;    // for AlreadyListed: the entry that runs the show
};

// Appends `entry` as the last entry of the programs list of `fileText`, or adds a
// programs resource holding it at the end. Every byte of the text before stays
// as it was; the last line of the list only gains its continuation. When an
// entry already runs the program of `entry` (enabled or not), nothing changes.
ProgramsEdit AddToPrograms(std::string_view fileText, std::string_view entry);

// --add-to-xscreensaver: the edit above on `file` (a link is followed to the
// file it names), written atomically. What was done, for the user.
struct ListUpdate {
    bool ok = false;
    std::string message;
};
ListUpdate AddToXScreenSaverFile(const std::filesystem::path& file, std::string_view entry = kXScreenSaverEntry);

// ~/.xscreensaver of the user running this process.
std::filesystem::path UserXScreenSaverFile();
