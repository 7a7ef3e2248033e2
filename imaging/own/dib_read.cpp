// The BMP reader: copies a bitmap file's header, colour table and pixel bytes
// into a packed DIB unchanged (no decompression, flipping or depth change).
#include "imaging/own/byte_source.h"
#include "imaging/own/image_read.h"
#include "imaging/own/pixel_claim.h"
#include "imaging/own/reader_trace.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kChunk = 16384;
// More entries than an 8-bit image can index is no real file's colour table.
constexpr std::uint32_t kMaxColours = 256;

// Reads `total` pixel bytes straight into place in large chunks, reporting
// progress; answers how many arrived.
std::size_t ReadPixels(ByteSource& src, std::uint8_t* dst, std::size_t total)
{
    ProgressBegin("", static_cast<int>(total), PROGRESS_READING);
    std::size_t done = 0;
    while (total - done > kChunk) {
        std::size_t got = src.Read(dst + done, kChunk);
        done += got;
        if (got < kChunk) {
            ProgressEnd();
            return done;
        }
        ProgressStep(static_cast<int>(done));
    }
    ProgressEnd();
    return done + src.Read(dst + done, total - done);
}

BitmapInfoHeader DecodeInfoHeader(const std::uint8_t* p)
{
    BitmapInfoHeader h;
    h.biSize = Le32(p);
    h.biWidth = static_cast<std::int32_t>(Le32(p + 4));
    h.biHeight = static_cast<std::int32_t>(Le32(p + 8));
    h.biPlanes = Le16(p + 12);
    h.biBitCount = Le16(p + 14);
    h.biCompression = Le32(p + 16);
    h.biSizeImage = Le32(p + 20);
    h.biXPelsPerMeter = static_cast<std::int32_t>(Le32(p + 24));
    h.biYPelsPerMeter = static_cast<std::int32_t>(Le32(p + 28));
    h.biClrUsed = Le32(p + 32);
    h.biClrImportant = Le32(p + 36);
    return h;
}

// A 12-byte core header as the 40-byte header it stands for.
BitmapInfoHeader DecodeCoreHeader(const std::uint8_t* p)
{
    BitmapInfoHeader h;
    h.biWidth = Le16(p + 4);
    h.biHeight = Le16(p + 6);
    h.biPlanes = Le16(p + 8);
    h.biBitCount = Le16(p + 10);
    std::uint32_t n = static_cast<std::uint32_t>(DibColorCount(h, true));
    h.biClrUsed = h.biClrImportant = n;
    return h;
}

bool IsBitFields(const BitmapInfoHeader& h)
{
    return (h.biBitCount == 16 || h.biBitCount == 32) && h.biCompression == BI_BITFIELDS_;
}

int Refuse()
{
    ReaderTrace("DibRead: Unsupported file format");
    return READ_BAD_FORMAT;
}

int ReadDib(ByteSource& src, PackedDib& out)
{
    const std::uint64_t p0 = src.Tell();
    std::uint8_t fileHeader[14];
    if (src.Read(fileHeader, sizeof fileHeader) < sizeof fileHeader) {
        ReaderTrace("DibRead: Error reading file");
        return READ_TRUNCATED;
    }
    std::uint32_t offBits = 0;
    if (fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        offBits = Le32(fileHeader + 10);
    } else {
        // No file header: the info header starts the file.
        src.Seek(p0);
    }

    const std::uint64_t headerPos = src.Tell();
    std::uint8_t raw[40];
    std::size_t got = src.Read(raw, sizeof raw);
    const std::uint32_t headerSize = got >= 4 ? Le32(raw) : 0;
    // A core header is only 12 bytes: a tiny OS/2 file may end before 40.
    if (got < sizeof raw && !(headerSize == 12 && got >= 12)) {
        ReaderTrace("DibRead: Error reading file");
        return READ_TRUNCATED;
    }
    const bool core = headerSize == 12;
    BitmapInfoHeader h;
    if (core) {
        h = DecodeCoreHeader(raw);
        src.Seek(headerPos + 12);
    } else if (headerSize == 40) {
        h = DecodeInfoHeader(raw);
    } else {
        return Refuse();
    }
    const std::uint32_t colours = static_cast<std::uint32_t>(DibColorCount(h, core));
    if (h.biClrUsed == 0)
        h.biClrUsed = colours;
    if (colours > kMaxColours)
        return Refuse();

    if (h.biWidth < 0)
        return Refuse();
    std::int64_t pixelBytes = h.biSizeImage;
    if (pixelBytes == 0 &&
        __builtin_mul_overflow(DibRowBytes(h.biWidth, h.biBitCount), static_cast<std::int64_t>(h.biHeight),
                               &pixelBytes))
        return Refuse();
    // A negative height with no image size gives a negative size: refused, as
    // is anything beyond the largest DIB the program handles.
    if (pixelBytes < 0 || pixelBytes > static_cast<std::int64_t>(kMaxDibPixelBytes))
        return Refuse();

    const std::size_t tableBytes = IsBitFields(h) ? 12 : 4 * static_cast<std::size_t>(colours);
    // Weigh the claim against the file before any memory is set aside.
    const std::size_t storedTable = IsBitFields(h) ? 12 : (core ? 3 : 4) * static_cast<std::size_t>(colours);
    const std::uint64_t pixelStart = offBits != 0 ? p0 + offBits : src.Tell() + storedTable;
    const std::uint64_t fileSize = src.Size();
    const std::uint64_t present = fileSize > pixelStart ? fileSize - pixelStart : 0;
    if (h.biCompression == BI_RLE8_ || h.biCompression == BI_RLE4_) {
        // Compressed bytes are copied as they are: only those in the file.
        pixelBytes = std::min<std::int64_t>(pixelBytes, static_cast<std::int64_t>(present));
    } else if (!UncompressedClaimFits(static_cast<std::uint64_t>(pixelBytes), present)) {
        ReaderTrace("DibRead: Pixel data missing, claimed=%lld present=%llu", static_cast<long long>(pixelBytes),
                    static_cast<unsigned long long>(present));
        return READ_TRUNCATED;
    }
    const std::size_t blockBytes = 40 + tableBytes + static_cast<std::size_t>(pixelBytes);
    PackedDib dib = PackedDib::Allocate(blockBytes);
    if (!dib) {
        ReaderTrace("DibRead: Unable to allocate memory, size=%d", static_cast<int>(blockBytes));
        return READ_NO_MEMORY;
    }
    dib.SetHeader(h);

    // What the table read misses stays zero.
    std::uint8_t* table = dib.data() + 40;
    if (IsBitFields(h)) {
        // The three masks come first even when a colour table follows them.
        src.Read(table, 12);
    } else if (core) {
        std::size_t n = colours;
        src.Read(table, 3 * n);
        for (std::size_t i = n; i-- > 0;) {
            std::uint8_t b = table[3 * i], g = table[3 * i + 1], r = table[3 * i + 2];
            table[4 * i] = b;
            table[4 * i + 1] = g;
            table[4 * i + 2] = r;
            table[4 * i + 3] = 0;
        }
    } else {
        src.Read(table, tableBytes);
    }

    if (offBits != 0)
        src.Seek(p0 + offBits);
    if (pixelBytes > 0 && ReadPixels(src, table + tableBytes, static_cast<std::size_t>(pixelBytes)) == 0) {
        // Handed on all the same: the pixels stay zero.
        ReaderTrace("DibRead: Error reading file");
    }
    out = std::move(dib);
    return READ_OK;
}

int RunDibRead(ByteSource& src, ImageReadRecord& record)
{
    ScopedProgress progress(record.progress);
    return ReadDib(src, record.dib);
}

} // namespace

int DibRead(const char* fileName, ImageReadRecord& record)
{
    record.dib.Reset();
    std::unique_ptr<FileSource> file = FileSource::Open(fileName);
    if (!file) {
        ReaderTrace("DibRead: Unable to open file %s", fileName ? fileName : "");
        return READ_CANNOT_OPEN;
    }
    return RunDibRead(*file, record);
}

int DibReadBytes(std::span<const std::uint8_t> bytes, ImageReadRecord& record)
{
    record.dib.Reset();
    MemorySource src(bytes);
    return RunDibRead(src, record);
}
