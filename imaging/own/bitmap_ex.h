#pragma once
// CBitmapEx: the bitmap record handed from the image pipeline to the renderer.
// It owns a device bitmap, a palette and a packed DIB.
#include "imaging/device_bitmap.h"
#include "imaging/packed_dib.h"

#include <cstdint>
#include <iosfwd>
#include <memory>

struct DrawRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Draw flags.
enum : int {
    DRAW_SCALE = 0x01,
    DRAW_CENTER = 0x02,
    DRAW_SHRINK_ONLY = 0x04,
    DRAW_KEEP_PALETTE = 0x08,
    DRAW_BACKGROUND_PALETTE = 0x10,
    DRAW_HALFTONE = 0x20,
};

// Owns one packed DIB.
class CDib {
public:
    PackedDib block;
    explicit operator bool() const { return static_cast<bool>(block); }
    void Serialize(std::ostream& out) const;
    bool Serialize(std::istream& in);
};

class CBitmapEx {
public:
    std::unique_ptr<DeviceBitmap> bitmap;
    std::shared_ptr<const DevicePalette> palette;
    CDib dib;
    int width = 0;
    int height = 0;

    CBitmapEx() = default;
    CBitmapEx(const CBitmapEx&) = delete;
    CBitmapEx& operator=(const CBitmapEx&) = delete;

    void AttachBitmap(std::unique_ptr<DeviceBitmap> bmp, std::shared_ptr<const DevicePalette> pal);
    void SetDib(PackedDib block);
    // 1: bitmap and palette handed out; 2: the DIB block handed out; 0: empty.
    int Detach(PackedDib* dibOut, std::unique_ptr<DeviceBitmap>* bitmapOut,
               std::shared_ptr<const DevicePalette>* paletteOut);
    int DibToBitmap();
    int BitmapToDib();
    int CreateBlank(int w, int h, int paletteKind);
    void SetPalette(std::shared_ptr<const DevicePalette> pal);
    // Draws into `target` (stands for the drawing context).
    int Draw(DeviceBitmap& target, const DrawRect& rect, int flags) const;
    int DrawPart(DeviceBitmap& target, const DrawRect& dest, const DrawRect* source, int flags) const;
    // Built-in bitmaps (res/): `id` names a packed DIB resource.
    int LoadFromResource(int id, bool mapSystemColours);
    void Serialize(std::ostream& out) const;
    bool Serialize(std::istream& in);

private:
    void Clear();
    void UpdateSize();
};

// A new packed DIB of the device bitmap; depth 0 = the bitmap's own. Empty on failure.
PackedDib DibFromBitmap(const DeviceBitmap& bitmap, const DevicePalette* palette, int depth, bool topDown);

// Completes a DIB's colour count as CBitmapEx does on taking one: an 8-bit or
// smaller DIB whose biClrUsed is 0 but whose block holds a table gets the full count.
void CompleteDibColourCount(PackedDib& dib);

// The palette of a DIB's colour table, at most `count` entries; none on
// true-colour displays or without a table.
std::shared_ptr<const DevicePalette> PaletteOfDib(const PackedDib& dib, int count);

// The device bitmap of a packed DIB for the current display, and in `palette`
// the palette that goes with it (none on true-colour displays). None when the
// DIB is damaged or memory runs out.
std::unique_ptr<DeviceBitmap> BitmapFromDib(std::span<const std::uint8_t> dib,
                                            std::shared_ptr<const DevicePalette>& palette);
