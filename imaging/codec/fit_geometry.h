#pragma once
// Geometry of fitting a photo into a square texture on the image-codec path:
// aspect-keeping boxes, the partial crop of the excess, centring.
#include <cstdint>

// Keeps the source's aspect ratio inside the box w x h. Mode 0 shrinks the
// dimension that would overflow; mode 2 always recomputes h from w; any other
// mode recomputes w from h.
void FitInside(int sw, int sh, int& w, int& h, int mode = 0);

struct FitRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const FitRect&) const = default;
};

enum class CropKind { None, LeftRight, TopBottom };

struct CodecFit {
    FitRect dest;     // within the W x H target
    FitRect source;   // within the photo
    CropKind crop = CropKind::None;
    int cropPixels = 0;   // cut from each end of the cropped dimension
    int cropWidth = 0;    // the photo size the crop aims at, for the log line
    int cropHeight = 0;
};

// Where an sw x sh photo goes in a W x H target. With `stretch` the photo is
// scaled: kept whole and centred with `keepAspect`, else a quarter of the
// excess is cut from each end and the rest squeezed. Without it the photo is
// drawn at its own size, centred when smaller, cut at right and bottom.
CodecFit ComputeCodecFit(int sw, int sh, int W, int H, bool keepAspect, bool stretch);

// The 0x00BBGGRR colour reference as opaque 0xAARRGGBB.
inline std::uint32_t OpaqueFromColorRef(std::uint32_t ref)
{
    return 0xFF000000u | ((ref & 0xFFu) << 16) | (ref & 0xFF00u) | ((ref >> 16) & 0xFFu);
}
