// The codec path the show uses by default for JPEGs: header and EXIF
// orientation, the fit into the square texture, and the scaled decode
// streamed through the resampler into the upright target.
//
// Input: 4 bytes of settings, then the file.
//   byte 0-1  wanted edge length, 1 to 1024
//   byte 2    bit 0 keep the aspect ratio, bit 1 stretch (reduce), bit 2
//             turn by the EXIF orientation, bit 3 256-bit resampling
//   byte 3    the target's clear colour (grey level)
#include "imaging/codec/exif.h"
#include "imaging/codec/fit_geometry.h"
#include "imaging/codec/jpeg_scaled_decode.h"
#include "imaging/codec/orientation.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {
// The decoder reads files: the input goes to one in-memory file per process.
class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("fuzz-jpeg", MFD_CLOEXEC)), path_("/proc/self/fd/" + std::to_string(fd_)) {}
    bool Hold(const std::uint8_t* data, std::size_t size)
    {
        if (fd_ < 0 || ftruncate(fd_, 0) != 0)
            return false;
        for (std::size_t done = 0; done < size;) {
            ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    const std::string& Path() const { return path_; }

private:
    int fd_;
    std::string path_;
};

SourceWindow Window(const FitRect& r) { return {double(r.x), double(r.y), double(r.w), double(r.h)}; }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const int edge = 1 + (data[0] | data[1] << 8) % 1024;
    const bool keepAspect = data[2] & 1, stretch = data[2] & 2, autoRotate = data[2] & 4;
    const std::uint32_t clear = 0xFF000000u | data[3] * 0x010101u;
    data += 4;
    size -= 4;

    // The EXIF parser on its own, on whatever bytes come.
    const int exif = ParseExif({data, size}).orientation;
    if (exif < 1 || exif > 8)
        std::abort();
    if (!LooksLikeJpeg(data, size))
        return 0;

    static MemoryFile file;
    if (!file.Hold(data, size))
        return 0;
    JpegScaledDecoder decoder;
    if (!decoder.Open(file.Path()) || decoder.Width() <= 0 || decoder.Height() <= 0 || !decoder.RgbCapable())
        return 0;
    const int sw = decoder.Width(), sh = decoder.Height();
    const int orientation = autoRotate ? decoder.Orientation() : 1;
    const bool swap = OrientationSwapsAxes(orientation);
    const int w = swap ? sh : sw, h = swap ? sw : sh;
    // A huge claim decodes its grey fill at an eighth of its size at least;
    // the sizes that matter for the arithmetic are all below this.
    if (static_cast<double>(sw) * sh > 16e6)
        return 0;

    const CodecFit fit = ComputeCodecFit(w, h, edge, edge, keepAspect, stretch);
    if (fit.dest.w <= 0 || fit.dest.h <= 0)
        return 0;
    if (fit.dest.x < 0 || fit.dest.y < 0 || fit.dest.x + fit.dest.w > edge || fit.dest.y + fit.dest.h > edge)
        std::abort();
    std::vector<std::uint32_t> target(static_cast<std::size_t>(edge) * edge, clear);
    const SourceWindow stored = UprightToStored(Window(fit.source), sw, sh, orientation);
    const int outW = swap ? fit.dest.h : fit.dest.w, outH = swap ? fit.dest.w : fit.dest.h;
    const OutputMap out = OrientedOutput(target.data(), edge, fit.dest.x, fit.dest.y, outW, outH, orientation);
    if (!decoder.DecodeInto(stored, outW, outH, out))
        return 0;
    // Every pixel of the target is opaque: the clear colour or a photo pixel.
    for (std::uint32_t p : target)
        if ((p >> 24) != 0xFF)
            std::abort();
    return 0;
}
