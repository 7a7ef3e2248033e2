#pragma once
// The image loader: takes the next photo of the image list (its choice is the
// media lists') under the image-list lock, decodes it on the image-codec path
// or through the program's own readers, and fits it into the wanted square
// when it is larger.
#include <cstdint>
#include <string>

class CBitmapEx;
class CSaverSettings;

// Codes of the "SEH Exception" log line for what a load can throw.
enum : std::uint32_t {
    kLoadFaultNoMemory = 0xE0000001u,  // std::bad_alloc
    kLoadFaultException = 0xE0000002u, // any other std::exception
    kLoadFaultUnknown = 0xE0000003u,   // anything else
};

// 0 = finished (image in the target, or nothing to load); -1 = failure,
// target left empty. `codecPath` chooses the decode path. `chosen`, when
// given, receives the name of the file it loaded (empty when none was chosen).
int LoadNewImage(CBitmapEx& target, int wantedSize, CSaverSettings& settings, bool codecPath,
                 std::string* chosen = nullptr);

// Loads the file `name` again (a photo shown before) the same way, without
// asking the image list for a choice. -1 when the file is gone.
int LoadImageFile(CBitmapEx& target, int wantedSize, const std::string& name, CSaverSettings& settings,
                  bool codecPath);

int LoadNewBitmap_gdiplus(CBitmapEx& target, const std::string& name, const std::string& extension,
                          int wantedSize, const CSaverSettings& settings);
int LoadNewBitmap(CBitmapEx& target, const std::string& name, const std::string& extension, int wantedSize,
                  const CSaverSettings& settings);
