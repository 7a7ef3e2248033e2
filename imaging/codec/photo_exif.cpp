#include "imaging/codec/photo_exif.h"

#include "imaging/codec/heif_decode.h"
#include "imaging/codec/jpeg_scaled_decode.h"
#include "imaging/codec/png_exif.h"
#include "imaging/codec/tiff_exif.h"
#include "imaging/codec/webp_exif.h"
#include "imaging/own/byte_source.h"

#include <cstdio>

ExifFacts ReadPhotoExif(ByteSource& source)
{
    std::uint8_t head[32] = {};
    if (!source.Seek(0))
        return {};
    const std::size_t got = source.Read(head, sizeof head);
    if (LooksLikeJpeg(head, got)) {
        source.Seek(0);
        JpegScaledDecoder decoder;
        return decoder.Open(source) ? decoder.Exif() : ExifFacts{};
    }
    if (LooksLikeHeif({head, got}))
        return HeifExif(source);
    if (LooksLikeWebp(head, got))
        return ParseExif(WebpExifBlock(source));
    if (LooksLikePng(head, got))
        return ParseExif(PngExifBlock(source));
    if (LooksLikeTiff(head, got))
        return TiffExif(source);
    return {};
}

ExifFacts ReadPhotoExif(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return {};
    FileSource source(f);
    return ReadPhotoExif(source);
}
