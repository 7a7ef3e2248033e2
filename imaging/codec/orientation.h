#pragma once
// Camera orientation (the EXIF values 1 to 8): how a stored image maps onto
// the upright picture. The value itself is read with the EXIF block (exif.h).
#include <cstddef>
#include <cstdint>

// Values outside 1..8 count as 1 (as stored).
int NormalizeOrientation(int orientation);
inline bool OrientationSwapsAxes(int orientation) { return NormalizeOrientation(orientation) >= 5; }

// A rectangle with fractional edges.
struct SourceWindow {
    double x = 0, y = 0, w = 0, h = 0;
};

// The rectangle of the stored image (storedW x storedH) that shows as
// `upright` in the upright picture.
SourceWindow UprightToStored(const SourceWindow& upright, int storedW, int storedH, int orientation);

// Where pixel (x, y) of an image in stored orientation lands in a 32-bit
// target: origin + x * stepX + y * stepY.
struct OutputMap {
    std::uint32_t* origin = nullptr;
    std::ptrdiff_t stepX = 1;
    std::ptrdiff_t stepY = 0;
};

// The map that draws an image of outW x outH stored pixels upright into the
// rectangle at (left, top) of a target whose rows are `stride` pixels apart.
// The upright rectangle is outW x outH, or outH x outW when the axes swap.
OutputMap OrientedOutput(std::uint32_t* target, std::ptrdiff_t stride, int left, int top,
                         int outW, int outH, int orientation);

