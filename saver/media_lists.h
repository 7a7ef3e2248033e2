#pragma once
// The media lists of a show's start.

class CSaverSettings;

enum class ShowLists {
    Ready,      // the image list holds files, or the show is a preview
    NoImages,   // no image file at all, outside preview: the user is told
    Stopped,    // the process is ending (an exit signal cut the build short)
};

// Builds the image list and then the sound list, in full mode.
ShowLists LoadMediaLists(CSaverSettings& settings, bool preview);
