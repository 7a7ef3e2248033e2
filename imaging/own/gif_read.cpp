// The GIF reader: the first image of a GIF file as an 8-bit bottom-up packed
// DIB. Extension blocks are skipped, so transparency and animation play no part.
#include "imaging/own/byte_source.h"
#include "imaging/own/gif_lzw.h"
#include "imaging/own/image_read.h"
#include "imaging/own/reader_trace.h"

#include <cstring>

namespace {

struct GifInfo {
    int width = 0;
    int height = 0;
    int version = 0;
    int colourResolution = 0;
    int tableBits = 0;
    int colours = 0;
    int background = 0;
    std::uint64_t tablePos = 0;
    std::size_t tableLength = 0;
    bool interlaced = false;
    std::uint64_t dataPos = 0;
};

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// Past the end, the next read simply finds nothing.
void Skip(ByteSource& src, std::size_t n) { src.Seek(src.Tell() + n); }

int OpenGif(ByteSource& src, GifInfo& info)
{
    std::uint8_t header[13];
    if (src.Read(header, sizeof header) < sizeof header)
        return READ_TRUNCATED;
    if (std::memcmp(header, "GIF", 3) != 0 || !IsDigit(header[3]) || !IsDigit(header[4]) || header[5] < 'A' ||
        header[5] > 'z')
        return READ_BAD_FORMAT;

    info = GifInfo{};
    info.version = (header[3] - '0') * 10 + (header[4] - '0');
    const std::uint8_t packed = header[10];
    info.colourResolution = ((packed >> 4) & 7) + 1;
    info.tableBits = (packed & 7) + 1;
    info.colours = 1 << info.tableBits;
    info.background = header[11];
    if (packed & 0x80) {
        info.tablePos = 13;
        info.tableLength = 3 * static_cast<std::size_t>(info.colours);
        Skip(src, info.tableLength);
    }

    for (;;) {
        int c = src.GetByte();
        if (c < 0)
            return READ_NO_IMAGE;
        if (c == 0x2C)
            break;
        if (c != 0x21)
            continue;
        if (src.GetByte() < 0) // the extension's label
            return READ_NO_IMAGE;
        for (;;) {
            int size = src.GetByte();
            if (size < 0)
                return READ_NO_IMAGE;
            if (size == 0)
                break;
            Skip(src, static_cast<std::size_t>(size));
        }
    }

    std::uint8_t descriptor[9];
    if (src.Read(descriptor, sizeof descriptor) < sizeof descriptor)
        return READ_TRUNCATED;
    info.width = Le16(descriptor + 4);
    info.height = Le16(descriptor + 6);
    info.interlaced = (descriptor[8] & 0x40) != 0;
    if (descriptor[8] & 0x80) {
        info.tableBits = (descriptor[8] & 7) + 1;
        info.colours = 1 << info.tableBits;
        info.tablePos = src.Tell();
        info.tableLength = 3 * static_cast<std::size_t>(info.colours);
        Skip(src, info.tableLength);
    }
    info.dataPos = src.Tell();
    return READ_OK;
}

// The colours in force; an image with no table at all gets a grey ramp (black
// and white for two colours) rather than a picture of one colour.
int ReadPalette(ByteSource& src, const GifInfo& info, std::uint8_t (&palette)[768])
{
    if (info.tableLength == 0) {
        for (int i = 0; i < info.colours; ++i) {
            auto grey = static_cast<std::uint8_t>(i * 255 / (info.colours - 1));
            palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = grey;
        }
        return READ_OK;
    }
    src.Seek(info.tablePos);
    if (src.Read(palette, info.tableLength) < info.tableLength)
        return READ_TRUNCATED;
    return READ_OK;
}

int ReadGif(ByteSource& src, ImageReadRecord& record)
{
    GifInfo info;
    if (int code = OpenGif(src, info); code != READ_OK)
        return code;
    if (info.interlaced)
        ReaderTrace("GifRead: reading interlaced image");

    std::uint8_t palette[768] = {};
    if (int code = ReadPalette(src, info, palette); code != READ_OK)
        return code;

    PackedDib dib = CreateDib(info.width, info.height, 8, false);
    if (!dib)
        return READ_NO_MEMORY;
    std::uint8_t* table = dib.data() + 40;
    for (int i = 0; i < info.colours && i < 256; ++i) {
        table[4 * i] = palette[3 * i + 2];
        table[4 * i + 1] = palette[3 * i + 1];
        table[4 * i + 2] = palette[3 * i];
    }

    ScopedProgress progress(record.progress);
    ProgressBegin("", info.height, PROGRESS_READING);
    src.Seek(info.dataPos);
    GifRowSink rows(dib.data() + dib.PixelOffset(), info.width, info.height, info.interlaced);
    int code = DecodeGifLzw(src, rows);
    ProgressEnd();
    if (code != READ_OK)
        return code;
    record.dib = std::move(dib);
    return READ_OK;
}

} // namespace

int GifRead(const char* fileName, ImageReadRecord& record)
{
    record.dib.Reset();
    std::unique_ptr<FileSource> file = FileSource::Open(fileName);
    if (!file)
        return READ_CANNOT_OPEN;
    return ReadGif(*file, record);
}

int GifReadBytes(std::span<const std::uint8_t> bytes, ImageReadRecord& record)
{
    record.dib.Reset();
    MemorySource src(bytes);
    return ReadGif(src, record);
}
