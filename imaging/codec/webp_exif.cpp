#include "imaging/codec/webp_exif.h"

#include "imaging/own/byte_source.h"

#include <algorithm>
#include <cstring>

namespace {
// EXIF is a small block; anything larger is not worth reading for a few tags.
constexpr std::uint32_t kMaxExifBytes = 1u << 20;
} // namespace

bool LooksLikeWebp(const std::uint8_t* head, std::size_t size)
{
    return size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0;
}

std::vector<std::uint8_t> WebpExifBlock(ByteSource& source)
{
    std::uint8_t header[12];
    if (!source.Seek(0) || source.Read(header, sizeof header) != sizeof header || !LooksLikeWebp(header, sizeof header))
        return {};
    // Only the extended layout ("VP8X" first) carries metadata chunks; the
    // EXIF chunk usually follows the image data, so chunks are skipped by seeking.
    const std::uint64_t end = std::min<std::uint64_t>(8 + std::uint64_t(Le32(header + 4)), source.Size());
    std::uint64_t at = sizeof header;
    for (int chunks = 0; chunks < 1024 && at + 8 <= end; ++chunks) {
        std::uint8_t chunk[8];
        if (!source.Seek(at) || source.Read(chunk, sizeof chunk) != sizeof chunk)
            return {};
        const std::uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "EXIF", 4) == 0) {
            if (size < 8 || size > kMaxExifBytes || at + 8 + size > end)
                return {};
            std::vector<std::uint8_t> block(size);
            if (source.Read(block.data(), size) != size)
                return {};
            return block;
        }
        at += 8 + std::uint64_t(size) + (size & 1);
    }
    return {};
}
