#include "imaging/codec/png_exif.h"

#include "imaging/own/byte_source.h"

#include <cstring>

namespace {
constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// As for WebP: a few tags never need more.
constexpr std::uint32_t kMaxExifBytes = 1u << 20;

// A file of small image-data chunks has one per few kilobytes; this bounds
// the walk through a damaged or hostile one.
constexpr int kMaxChunks = 1 << 16;

std::uint32_t Be32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
} // namespace

bool LooksLikePng(const std::uint8_t* head, std::size_t size)
{
    return size >= sizeof kSignature && std::memcmp(head, kSignature, sizeof kSignature) == 0;
}

std::vector<std::uint8_t> PngExifBlock(ByteSource& source)
{
    std::uint8_t signature[8];
    if (!source.Seek(0) || source.Read(signature, sizeof signature) != sizeof signature ||
        !LooksLikePng(signature, sizeof signature))
        return {};
    const std::uint64_t end = source.Size();
    std::uint64_t at = sizeof signature;
    for (int chunks = 0; chunks < kMaxChunks && at + 12 <= end; ++chunks) {
        std::uint8_t chunk[8];
        if (!source.Seek(at) || source.Read(chunk, sizeof chunk) != sizeof chunk)
            return {};
        const std::uint32_t size = Be32(chunk);
        // A length beyond 2^31 - 1 is not PNG.
        if (size > 0x7FFFFFFFu)
            return {};
        if (std::memcmp(chunk + 4, "eXIf", 4) == 0) {
            if (size < 8 || size > kMaxExifBytes || at + 12 + size > end)
                return {};
            std::vector<std::uint8_t> block(size);
            if (source.Read(block.data(), size) != size)
                return {};
            return block;
        }
        if (std::memcmp(chunk + 4, "IEND", 4) == 0)
            return {};
        at += 12 + std::uint64_t(size);   // length, type, data, CRC
    }
    return {};
}
