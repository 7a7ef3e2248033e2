#include "res/string_table.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
struct Entry {
    int id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {1, "Tessaview Screen Saver"},
    {104, "Unable to find folder %s. Please enter an existing folder name and try again."},
    {106, "Click here to activate link, or right click to copy the link into the clipboard"},
    {107, "Can't find any file to show in the configured folder list !"},
    {108, "Unexpected file extension: file=%s ext=%s"},
    {109, "Error %d loading file=%s"},
    {110, "Can't resize the bitmap created from file %s"},
    {112, "Try hovering the mouse over the item you want help on and a tooltip will appear !"},
    {114, "If selected Tessaview recursively finds all images in the sub-folders of the specified folder"},
    {115, "Insert here a list of folders where to get the images for the slide show"},
    {116, "If selected Tessaview displays the images randomly"},
    {117, "Tessaview\nUnable to find a display configuration that supports Direct3D"},
    {118, "File Tessaview.log doesn't exist. This file is created by Tessaview during the slideshow "
          "only when this option is enabled"},
    {119, "Enter here the delay (in seconds) between images"},
    {120, "If enabled Tessaview display photos as floating, if not enabled cube faces will be "
          "connected"},
    {122, "Counts jpg, png, gif and bmp files in the specified folders"},
    {123, "If selected Tessaview recursively finds all sound files in the sub-folders of the specified folder"},
    {124, "Enter here a list of folders where to get the sound files to play"},
    {125, "If selected Tessaview plays sound files randomly, if not selected sound files are played sequentially"},
    {126, "Counts sound files in the specified folders"},
    {130, "MCI Error: %s\nCommand: %s"},
    {131, "If selected, it enables logging of all error and of some informative messages in the file "
          "Tessaview.log located in your windows/system folder. If you have problems enable this option "
          "and when screen saver exits open Tessaview.log with Notepad. There you should find useful "
          "error messages."},
    {134, "Windows it's unable to play file %s, maybe you need an updated version of Windows Media "
          "Player. The following is the error reported by Windows:"},
    {135, "If selected Tessaview saves the index of the last image shown, in this way when it restarts it begins "
          "from the next image instead of to start the show from the beginning."},
    {136, "If enabled cube parts not covered by photos will be transparent"},
    {144, "Configure background color. This color is used to fill those screen parts not used by images."},
    {148, "Images Folders:"},
    {149, "If selected Tessaview saves the index of the file played, in this way when it restarts it begins from "
          "the next file instead of to start playing from the beginning."},
    {150, "Reset current image index, in this way the show will start again from the beginning."},
    {151, "Current image index has been reset, the show will start from the first image."},
    {152, "Reset current sound file index, in this way the show will start again from the beginning."},
    {153, "Current sound file index has been reset, the show will start from the first file."},
    {154, "If selected screen saver ends if mouse is moved"},
    {155, "If selected screen saver ends if a mouse button is pressed"},
    {156, "If selected screen saver ends if a key is pressed"},
    {159, "At least one Screen Saver Exit Event must be selected ! Please select one or more options "
          "and before going on."},
    {163, "Sound Files Folders:"},
    {183, "Your system needs an updated version of the Windows Common Controls (at least version "
          "4.71). You can install them by installing Microsoft Internet Explorer  4 or later."},
    {194, "Adds a directory to the folders list"},
    {195, "Adds all the subdirectories of a selected directory to the folders list"},
    {196, "Removes the selected folders from the list"},
    {197, "Selects all the folders in the list"},
    {198, "Makes all the folders in the list not-selected"},
    {199, "Enables all the folders in the list"},
    {335, "Wrong or Missed Parameter"},
    {336, "Warning"},
    {337, "Done"},
    {338, "Inserted value must be greater than 0"},
    {376, "More Colors..."},
    {400, "This slider controls the speed and direction of spin along the X axis"},
    {401, "This slider controls the speed and direction of spin along the Y axis"},
    {402, "This slider controls the speed and direction of spin along the Z axis"},
    {403, "This slider controls the speed of movement along the X axis"},
    {404, "This slider controls the speed of movement along the Y axis"},
    {405, "This slider controls the speed of movement along the Z axis"},
    {406, "This slider controls the size of the cube"},
    {407, "If selected, Tessaview will attempt to keep images upright as the cube rotates"},
    {408, "If selected, Tessaview will never distort or crop images to fit them to cube faces, "
          "empty space is filled with background color"},
    {409, "If selected Tessaview remembers the photos already shown, also between runs, and shows every "
          "photo once before showing any of them again. It works when \"Choose Images in random order\" is "
          "selected on the Images List page."},
    {410, "Text drawn along the bottom of each photo: the date it was taken, the folder it comes from, or "
          "both. Small faces, such as those of the preview, show no caption."},
    {420, "Reload"},
    {421, "Close"},
    {422, "Unable to read %s"},
    {423, "Only the last %d KB of the file are shown."},
    {20564, "Select Directory"},
    {57344, "Tessaview"},
};
} // namespace

const char* LoadStringId(int id)
{
    for (const Entry& e : kStrings)
        if (e.id == id)
            return e.text;
    return "";
}

std::string FormatStringId(int id, ...)
{
    const char* format = LoadStringId(id);
    va_list args;
    va_start(args, id);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string s;
    if (n > 0) {
        std::vector<char> buf(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), format, args);
        s.assign(buf.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    return s;
}
