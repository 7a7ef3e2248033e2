#pragma once
// CBitmapEx: the bitmap record handed from the image pipeline to the renderer.
// It owns a device bitmap, a palette and a packed DIB.
#include "imaging/own/cdib.h"
#include "imaging/own/device_bitmap.h"
#include "imaging/own/draw.h"
#include "imaging/own/packed_dib.h"

#include <cstdint>
#include <iosfwd>
#include <memory>

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

// Completes a DIB's colour count as CBitmapEx does on taking one: an 8-bit or
// smaller DIB whose biClrUsed is 0 but whose block holds a table gets the full count.
void CompleteDibColourCount(PackedDib& dib);

// The palette of a DIB's colour table, at most `count` entries; none on
// true-colour displays or without a table.
std::shared_ptr<const DevicePalette> PaletteOfDib(const PackedDib& dib, int count);
