#include "imaging/codec/webp_exif.h"

#include "imaging/codec/orientation.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

struct FileClose {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// EXIF is a small block; anything larger is not worth reading for one tag.
constexpr std::uint32_t kMaxExifBytes = 1u << 20;
} // namespace

bool LooksLikeWebp(const std::uint8_t* head, std::size_t size)
{
    return size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0;
}

int WebpExifOrientation(const std::string& path)
{
    std::unique_ptr<std::FILE, FileClose> f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return 1;
    std::uint8_t header[12];
    if (std::fread(header, 1, sizeof header, f.get()) != sizeof header || !LooksLikeWebp(header, sizeof header))
        return 1;
    // Only the extended layout ("VP8X" first) carries metadata chunks; the
    // EXIF chunk usually follows the image data, so chunks are skipped by seeking.
    const long end = 8 + static_cast<long>(Le32(header + 4));
    for (int chunks = 0; chunks < 1024; ++chunks) {
        std::uint8_t chunk[8];
        const long at = std::ftell(f.get());
        if (at < 0 || at + 8 > end || std::fread(chunk, 1, sizeof chunk, f.get()) != sizeof chunk)
            return 1;
        const std::uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "EXIF", 4) == 0) {
            if (size < 8 || size > kMaxExifBytes)
                return 1;
            std::vector<std::uint8_t> app1 = {'E', 'x', 'i', 'f', 0, 0};
            const std::size_t start = app1.size();
            app1.resize(start + size);
            if (std::fread(app1.data() + start, 1, size, f.get()) != size)
                return 1;
            // Some writers keep the "Exif\0\0" prefix of the JPEG segment.
            if (size >= 6 && std::memcmp(app1.data() + start, "Exif\0\0", 6) == 0)
                app1.erase(app1.begin(), app1.begin() + static_cast<std::ptrdiff_t>(start));
            return NormalizeOrientation(ExifOrientation(app1));
        }
        if (std::fseek(f.get(), static_cast<long>(size) + (size & 1), SEEK_CUR) != 0)
            return 1;
    }
    return 1;
}
