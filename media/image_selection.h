#pragma once
// Choice of the next image: sequential through the ordered list, with the
// position remembered in the store, or random without repetition until
// every image has been shown once.
#include <string>

class CSaverSettings;

// Full path of the next image, or "" when the list is empty. The image loader
// calls it holding the image-list lock; it takes no lock itself.
std::string ChooseBitmap(CSaverSettings& settings, bool random);
