#pragma once
// The image loader's choice of the next photo: the image list's next name
// whose file still exists.
#include <string>

class CSaverSettings;

// Asks ChooseBitmap for names until one names an existing file: the first
// time in random order when the settings say so, in list order after that
// (so that a random show does not draw the same missing file again). At most
// one attempt per list entry and one more; when all of them miss, the last
// name is answered anyway, for the decoder to report. Each missing file is
// logged as "<routine>: Can't find file %s, skipped". "" when the list gives
// no name. The caller holds the image-list lock.
std::string ChooseExistingImage(CSaverSettings& settings, const char* routine);
