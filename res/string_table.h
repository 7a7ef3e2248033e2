#pragma once
// The program's numbered user-visible texts.
#include <string>

// The text of a string-table entry, or an empty string for an unknown id.
const char* LoadStringId(int id);

// printf-style formatting of a string-table entry.
std::string FormatStringId(int id, ...);

// Names for the ids the code uses; tool-tip texts are named by number in the
// dialog templates (res/dialogs).
enum StringId {
    IDS_CAPTION = 1,                 // "Tessaview Screen Saver"
    IDS_FOLDER_NOT_FOUND = 104,
    IDS_LINK_TIP = 106,
    IDS_NO_FILES = 107,
    IDS_UNEXPECTED_EXTENSION = 108,
    IDS_ERROR_LOADING = 109,
    IDS_CANT_RESIZE = 110,
    IDS_HELP_HOVER = 112,
    IDS_NO_DIRECT3D = 117,
    IDS_LOG_MISSING = 118,
    IDS_MCI_ERROR = 130,
    IDS_TRACE_TIP = 131,
    IDS_CANT_PLAY = 134,
    IDS_IMAGES_FOLDERS = 148,
    IDS_IMAGE_INDEX_RESET = 151,
    IDS_SOUND_INDEX_RESET = 153,
    IDS_EXIT_EVENT_NEEDED = 159,
    IDS_SOUND_FOLDERS = 163,
    IDS_OLD_COMMON_CONTROLS = 183,
    IDS_WRONG_PARAMETER = 335,
    IDS_WARNING = 336,
    IDS_DONE = 337,
    IDS_MUST_BE_POSITIVE = 338,
    IDS_MORE_COLORS = 376,
    IDS_LOG_RELOAD = 420,
    IDS_LOG_CLOSE = 421,
    IDS_LOG_UNREADABLE = 422,
    IDS_LOG_TAIL_ONLY = 423,
    IDS_SELECT_DIRECTORY = 20564,
    IDS_APP_NAME = 57344,            // "Tessaview"
};
