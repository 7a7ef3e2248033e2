#pragma once
// Writes test photos: JPEGs through libjpeg (optionally progressive, with an
// EXIF orientation), and temporary folders that clean up after themselves.
#include "support/temp_folder.h"

#include <algorithm>
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
    bool grey = false;     // one component (the green channel of the pixels)
    std::vector<std::uint8_t> exif = {}; // a whole APP1 payload, written instead
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
    c.input_components = o.grey ? 1 : 3;
    c.in_color_space = o.grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, o.quality, TRUE);
    if (o.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    if (!o.exif.empty()) {
        jpeg_write_marker(&c, JPEG_APP0 + 1, o.exif.data(), unsigned(o.exif.size()));
    } else if (o.orientation) {
        auto exif = ExifWithOrientation(o.orientation);
        jpeg_write_marker(&c, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    }
    std::vector<std::uint8_t> row(std::size_t(w) * 3);
    while (c.next_scanline < c.image_height) {
        const int y = int(c.next_scanline);
        for (int x = 0; x < w; ++x) {
            Rgb p = pixel(x, y);
            if (o.grey)
                row[x] = p.g;
            else {
                row[3 * x] = p.r; row[3 * x + 1] = p.g; row[3 * x + 2] = p.b;
            }
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
    std::string File(const std::string& name) const { return (folder_ / name).string(); }

private:
    support::TempFolder folder_{"loader"};
};

// A GIF with a 256-colour palette, LZW-coded without compression (a clear
// code every 250 literals keeps the code width at 9 bits), which every GIF
// decoder reads.
inline void WriteGif(const std::string& path, int w, int h, const std::vector<Rgb>& palette,
                     const std::function<std::uint8_t(int, int)>& index)
{
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    auto put16 = [&](unsigned v) { out.push_back(std::uint8_t(v)); out.push_back(std::uint8_t(v >> 8)); };
    put16(unsigned(w));
    put16(unsigned(h));
    out.insert(out.end(), {0xF7, 0, 0});
    for (int i = 0; i < 256; ++i) {
        Rgb c = i < int(palette.size()) ? palette[std::size_t(i)] : Rgb{0, 0, 0};
        out.insert(out.end(), {c.r, c.g, c.b});
    }
    out.push_back(0x2C);
    put16(0); put16(0); put16(unsigned(w)); put16(unsigned(h));
    out.push_back(0);
    out.push_back(8);
    std::vector<std::uint8_t> data;
    std::uint32_t bits = 0;
    int nbits = 0;
    auto code = [&](unsigned c) {
        bits |= std::uint32_t(c) << nbits;
        nbits += 9;
        while (nbits >= 8) { data.push_back(std::uint8_t(bits)); bits >>= 8; nbits -= 8; }
    };
    int run = 0;
    code(256);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (run == 250) { code(256); run = 0; }
            code(index(x, y));
            ++run;
        }
    code(257);
    if (nbits > 0)
        data.push_back(std::uint8_t(bits));
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), data.begin() + std::ptrdiff_t(at), data.begin() + std::ptrdiff_t(at + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
}
