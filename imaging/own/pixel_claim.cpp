#include "imaging/own/pixel_claim.h"

#include "imaging/own/byte_source.h"
#include "imaging/own/packed_dib.h"

#include <cstdio>

bool UncompressedClaimFits(std::uint64_t claimed, std::uint64_t present)
{
    if (claimed <= present)
        return true;
    const std::uint64_t missing = claimed - present;
    return missing <= kClaimSlackBytes || missing <= present;
}

std::string BmpClaimProblem(std::span<const std::uint8_t> head, std::uint64_t fileSize)
{
    if (head.size() < 18 || head[0] != 'B' || head[1] != 'M')
        return {};
    const std::uint8_t* p = head.data();
    const std::uint32_t offBits = Le32(p + 10);
    const std::uint32_t headerSize = Le32(p + 14);
    std::int64_t width = 0, height = 0;
    unsigned bits = 0;
    std::uint32_t compression = BI_RGB_;
    if (headerSize == 12 && head.size() >= 26) {
        width = Le16(p + 18);
        height = Le16(p + 20);
        bits = Le16(p + 24);
    } else if (headerSize >= 40 && head.size() >= 54) {
        width = static_cast<std::int32_t>(Le32(p + 18));
        height = static_cast<std::int32_t>(Le32(p + 22));
        bits = Le16(p + 28);
        compression = Le32(p + 30);
    } else {
        return {};
    }
    // BI_RGB, BI_BITFIELDS and BI_ALPHABITFIELDS store every pixel as it is.
    if (compression != BI_RGB_ && compression != BI_BITFIELDS_ && compression != 6)
        return {};
    if (width <= 0 || height == 0 || bits == 0)
        return {};
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    // At most 2^31 x 65535 bits per row and 2^31 rows: the product fits in 128 bits.
    const unsigned __int128 claimed =
        static_cast<unsigned __int128>(DibRowBytes(width, static_cast<int>(bits))) * rows;
    const std::uint64_t present = fileSize > offBits ? fileSize - offBits : 0;
    if (claimed <= static_cast<unsigned __int128>(UINT64_MAX) &&
        UncompressedClaimFits(static_cast<std::uint64_t>(claimed), present))
        return {};
    char text[160];
    std::snprintf(text, sizeof text, "claims %lld x %lld pixels of %u bits, but holds only %llu bytes of pixel data",
                  static_cast<long long>(width), static_cast<long long>(rows), bits,
                  static_cast<unsigned long long>(present));
    return text;
}
