#include "imaging/codec/tiff_exif.h"

#include "imaging/codec/orientation.h"
#include "imaging/own/byte_source.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include <tiffio.h>

namespace {
ByteSource& Source(thandle_t h) { return *static_cast<ByteSource*>(h); }

tmsize_t ReadProc(thandle_t h, void* data, tmsize_t size)
{
    return size < 0 ? -1 : tmsize_t(Source(h).Read(data, std::size_t(size)));
}
tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return -1; }
toff_t SeekProc(thandle_t h, toff_t offset, int whence)
{
    ByteSource& s = Source(h);
    std::uint64_t to = offset;
    if (whence == SEEK_CUR)
        to += s.Tell();
    else if (whence == SEEK_END)
        to += s.Size();
    return s.Seek(to) ? to : toff_t(-1);
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return Source(h).Size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

// A damaged file is just a file without a date: libtiff's complaints about
// it go nowhere (the handler answers that it took care of them).
int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffClose {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
struct OptionsFree {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};

// No tag the show reads needs more; this bounds what a hostile directory
// can make libtiff allocate.
constexpr tmsize_t kMaxAllocation = tmsize_t(16) << 20;

std::optional<TakenDate> DateField(TIFF* tif, ttag_t tag)
{
    const char* text = nullptr;
    if (TIFFGetField(tif, tag, &text) != 1 || !text)
        return std::nullopt;
    return ParseExifDate(text);
}
} // namespace

bool LooksLikeTiff(const std::uint8_t* head, std::size_t size)
{
    return size >= 4 && ((std::memcmp(head, "II*\0", 4) == 0) || (std::memcmp(head, "MM\0*", 4) == 0) ||
                         (std::memcmp(head, "II+\0", 4) == 0) || (std::memcmp(head, "MM\0+", 4) == 0));
}

ExifFacts TiffExif(ByteSource& source)
{
    ExifFacts facts;
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options || !source.Seek(0))
        return facts;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
    std::unique_ptr<TIFF, TiffClose> tif(TIFFClientOpenExt("photo", "rm", &source, ReadProc, WriteProc, SeekProc,
                                                           CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
    if (!tif)
        return facts;
    std::uint16_t orientation = 1;
    if (TIFFGetField(tif.get(), TIFFTAG_ORIENTATION, &orientation) == 1)
        facts.orientation = NormalizeOrientation(orientation);
    const std::optional<TakenDate> changed = DateField(tif.get(), TIFFTAG_DATETIME);
    toff_t exifDirectory = 0;
    if (TIFFGetField(tif.get(), TIFFTAG_EXIFIFD, &exifDirectory) == 1 && exifDirectory != 0 &&
        TIFFReadEXIFDirectory(tif.get(), exifDirectory))
        facts.taken = DateField(tif.get(), EXIFTAG_DATETIMEORIGINAL);
    if (!facts.taken)
        facts.taken = changed;
    return facts;
}
