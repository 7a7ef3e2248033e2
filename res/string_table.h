#pragma once
// The program's numbered user-visible texts.
#include <string>

// The text of a string-table entry, or an empty string for an unknown id.
const char* LoadStringId(int id);

// printf-style formatting of a string-table entry.
std::string FormatStringId(int id, ...);

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
    IDS_FLOATING_TIP = 120,
    IDS_MCI_ERROR = 130,
    IDS_TRACE_TIP = 131,
    IDS_CANT_PLAY = 134,
    IDS_TRANSPARENT_TIP = 136,
    IDS_IMAGE_INDEX_RESET = 151,
    IDS_SOUND_INDEX_RESET = 153,
    IDS_EXIT_MOUSE_MOVE_TIP = 154,
    IDS_EXIT_MOUSE_CLICK_TIP = 155,
    IDS_EXIT_KEY_PRESS_TIP = 156,
    IDS_EXIT_EVENT_NEEDED = 159,
    IDS_OLD_COMMON_CONTROLS = 183,
    IDS_WRONG_PARAMETER = 335,
    IDS_WARNING = 336,
    IDS_DONE = 337,
    IDS_MUST_BE_POSITIVE = 338,
    IDS_MORE_COLORS = 376,
    IDS_SPIN_X_TIP = 400,
    IDS_SPIN_Y_TIP = 401,
    IDS_SPIN_Z_TIP = 402,
    IDS_SPEED_X_TIP = 403,
    IDS_SPEED_Y_TIP = 404,
    IDS_SPEED_Z_TIP = 405,
    IDS_CUBE_SIZE_TIP = 406,
    IDS_KEEP_UPRIGHT_TIP = 407,
    IDS_KEEP_ASPECT_TIP = 408,
    IDS_LOG_RELOAD = 420,
    IDS_LOG_CLOSE = 421,
    IDS_LOG_UNREADABLE = 422,
    IDS_LOG_TAIL_ONLY = 423,
    IDS_APP_NAME = 57344,            // "Tessaview"
};
