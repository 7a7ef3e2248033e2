// The HEIC/HEIF and AVIF path on arbitrary bytes: the first two bytes choose
// the wanted edge, the rest is the file. Whatever libheif makes of it, an
// answer is either a clear refusal or a whole, opaque picture within the edge.
#include "imaging/codec/heif_decode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int edge = 1 + ((data[0] | (data[1] << 8)) % 1024);
    const HeifPicture picture = DecodeHeif({data + 2, size - 2}, edge);
    if (!picture.error.empty()) {
        if (!picture.pixels.empty())
            std::abort();
        return 0;
    }
    if (picture.width <= 0 || picture.height <= 0 || picture.width > edge || picture.height > edge ||
        picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height))
        std::abort();
    for (std::uint32_t p : picture.pixels)
        if ((p >> 24) != 0xFF)
            std::abort();
    return 0;
}
