#pragma once
// EXIF blocks laid out byte by byte (so the reader is checked against the
// format, not against the library it uses), and TIFF files with dates in
// their own directories, written through libtiff as scanners and editors do.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <tiffio.h>

struct ExifSpec {
    int orientation = 0;             // 0: no tag
    std::string dateTime;            // IFD0 DateTime; empty: no tag
    std::string dateTimeOriginal;    // EXIF IFD DateTimeOriginal; empty: no tag
    bool bigEndian = false;
    bool jpegPrefix = true;          // "Exif\0\0" first, as in a JPEG APP1 segment
    bool originalInIfd0 = false;     // DateTimeOriginal where some writers put it
};

// The block an ExifSpec describes: IFD0 (orientation, DateTime, the EXIF IFD
// pointer), then the EXIF IFD, each followed by the values that do not fit
// in an entry.
inline std::vector<std::uint8_t> ExifBlock(const ExifSpec& spec)
{
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count;
        std::vector<std::uint8_t> value;   // already in the block's byte order
    };
    std::vector<std::uint8_t> out;
    auto put16 = [&](std::vector<std::uint8_t>& v, std::uint32_t x) {
        if (spec.bigEndian) { v.push_back(std::uint8_t(x >> 8)); v.push_back(std::uint8_t(x)); }
        else { v.push_back(std::uint8_t(x)); v.push_back(std::uint8_t(x >> 8)); }
    };
    auto put32 = [&](std::vector<std::uint8_t>& v, std::uint32_t x) {
        if (spec.bigEndian) { put16(v, x >> 16); put16(v, x & 0xFFFF); }
        else { put16(v, x & 0xFFFF); put16(v, x >> 16); }
    };
    auto ascii = [](const std::string& s) {
        std::vector<std::uint8_t> v(s.begin(), s.end());
        v.push_back(0);
        return v;
    };
    // Writes an IFD at the end of `tiff` (offsets count from the TIFF header).
    auto writeIfd = [&](std::vector<std::uint8_t>& tiff, const std::vector<Entry>& entries) {
        const std::size_t start = tiff.size();
        std::size_t data = start + 2 + 12 * entries.size() + 4;
        std::vector<std::uint8_t> extra;
        put16(tiff, std::uint32_t(entries.size()));
        for (const Entry& e : entries) {
            put16(tiff, e.tag);
            put16(tiff, e.type);
            put32(tiff, e.count);
            if (e.value.size() <= 4) {
                std::vector<std::uint8_t> v = e.value;
                v.resize(4, 0);
                tiff.insert(tiff.end(), v.begin(), v.end());
            } else {
                put32(tiff, std::uint32_t(data + extra.size()));
                extra.insert(extra.end(), e.value.begin(), e.value.end());
                if (extra.size() & 1)
                    extra.push_back(0);
            }
        }
        put32(tiff, 0);
        tiff.insert(tiff.end(), extra.begin(), extra.end());
    };
    const std::uint8_t order = spec.bigEndian ? 'M' : 'I';
    std::vector<std::uint8_t> tiff = {order, order};
    put16(tiff, 42);
    put32(tiff, 8);
    std::vector<Entry> ifd0;
    if (spec.orientation) {
        std::vector<std::uint8_t> v;
        put16(v, std::uint32_t(spec.orientation));
        ifd0.push_back({0x0112, 3, 1, v});
    }
    if (!spec.dateTime.empty())
        ifd0.push_back({0x0132, 2, std::uint32_t(spec.dateTime.size() + 1), ascii(spec.dateTime)});
    if (spec.originalInIfd0 && !spec.dateTimeOriginal.empty())
        ifd0.push_back({0x9003, 2, std::uint32_t(spec.dateTimeOriginal.size() + 1), ascii(spec.dateTimeOriginal)});
    const bool exifIfd = !spec.dateTimeOriginal.empty() && !spec.originalInIfd0;
    if (exifIfd)
        ifd0.push_back({0x8769, 4, 1, {0, 0, 0, 0}});   // patched below
    writeIfd(tiff, ifd0);
    if (exifIfd) {
        const std::uint32_t at = std::uint32_t(tiff.size());
        std::vector<std::uint8_t> pointer;
        put32(pointer, at);
        const std::size_t slot = 8 + 2 + 12 * (ifd0.size() - 1) + 8;
        std::memcpy(tiff.data() + slot, pointer.data(), 4);
        writeIfd(tiff, {{0x9003, 2, std::uint32_t(spec.dateTimeOriginal.size() + 1), ascii(spec.dateTimeOriginal)}});
    }
    if (spec.jpegPrefix)
        out = {'E', 'x', 'i', 'f', 0, 0};
    out.insert(out.end(), tiff.begin(), tiff.end());
    return out;
}

// A grey w x h TIFF whose first directory follows the pixels (as libtiff
// writes it) with DateTime, and DateTimeOriginal in an EXIF directory; empty
// texts leave the tag out. False when libtiff refuses.
inline bool WriteTiffWithDates(const std::string& path, int w, int h, const std::string& dateTime,
                               const std::string& dateTimeOriginal)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(h));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, std::uint32_t(h));
    if (!dateTime.empty())
        TIFFSetField(tif, TIFFTAG_DATETIME, dateTime.c_str());
    std::vector<std::uint8_t> row(std::size_t(w) * 3, 0x80);
    bool ok = true;
    for (int y = 0; y < h && ok; ++y)
        ok = TIFFWriteScanline(tif, row.data(), std::uint32_t(y), 0) == 1;
    if (ok && !dateTimeOriginal.empty()) {
        // The pointer is reserved first and filled in once the EXIF directory is written.
        std::uint64_t exifAt = 0;
        TIFFSetField(tif, TIFFTAG_EXIFIFD, exifAt);
        ok = TIFFWriteDirectory(tif) == 1 && TIFFCreateEXIFDirectory(tif) == 0 &&
             TIFFSetField(tif, EXIFTAG_DATETIMEORIGINAL, dateTimeOriginal.c_str()) == 1 &&
             TIFFWriteCustomDirectory(tif, &exifAt) == 1 && TIFFSetDirectory(tif, 0) == 1 &&
             TIFFSetField(tif, TIFFTAG_EXIFIFD, exifAt) == 1 && TIFFWriteDirectory(tif) == 1;
    }
    TIFFClose(tif);
    return ok;
}
