#pragma once
// Writes test photos: JPEGs through libjpeg (optionally progressive, with an
// EXIF orientation), and temporary folders that clean up after themselves.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <unistd.h>

struct Rgb {
    std::uint8_t r, g, b;
};
using PixelFn = std::function<Rgb(int x, int y)>;

struct JpegOptions {
    int quality = 92;
    bool progressive = false;
    int orientation = 0;   // 0: no EXIF segment
};

// An APP1 "Exif" payload holding only the orientation tag.
inline std::vector<std::uint8_t> ExifWithOrientation(int orientation, bool bigEndian = false)
{
    auto put16 = [&](std::vector<std::uint8_t>& v, unsigned x) {
        if (bigEndian) { v.push_back(std::uint8_t(x >> 8)); v.push_back(std::uint8_t(x)); }
        else { v.push_back(std::uint8_t(x)); v.push_back(std::uint8_t(x >> 8)); }
    };
    auto put32 = [&](std::vector<std::uint8_t>& v, std::uint32_t x) {
        if (bigEndian) { put16(v, x >> 16); put16(v, x & 0xFFFF); }
        else { put16(v, x & 0xFFFF); put16(v, x >> 16); }
    };
    std::vector<std::uint8_t> v = {'E', 'x', 'i', 'f', 0, 0};
    v.push_back(bigEndian ? 'M' : 'I');
    v.push_back(bigEndian ? 'M' : 'I');
    put16(v, 42);
    put32(v, 8);
    put16(v, 1);                 // one entry
    put16(v, 0x0112);
    put16(v, 3);                 // SHORT
    put32(v, 1);
    put16(v, unsigned(orientation));
    put16(v, 0);
    put32(v, 0);                 // no next IFD
    return v;
}

inline void WriteJpeg(const std::string& path, int w, int h, const PixelFn& pixel, const JpegOptions& o = {})
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    jpeg_stdio_dest(&c, f);
    c.image_width = unsigned(w);
    c.image_height = unsigned(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, o.quality, TRUE);
    if (o.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    if (o.orientation) {
        auto exif = ExifWithOrientation(o.orientation);
        jpeg_write_marker(&c, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    }
    std::vector<std::uint8_t> row(std::size_t(w) * 3);
    while (c.next_scanline < c.image_height) {
        const int y = int(c.next_scanline);
        for (int x = 0; x < w; ++x) {
            Rgb p = pixel(x, y);
            row[3 * x] = p.r; row[3 * x + 1] = p.g; row[3 * x + 2] = p.b;
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

inline Rgb Flat(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {r, g, b}; }

class TempDir {
public:
    TempDir()
    {
        static int n = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("tsv-loader-" + std::to_string(getpid()) + "-" + std::to_string(n++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};
