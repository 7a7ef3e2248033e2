// Writes the fuzzers' seed corpora: small files of every form each reader
// knows, one folder per fuzz target.
#include "exif_fixtures.h"
#include "fixture_writers.h"
#include "test_images.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

void Save(const fs::path& dir, const std::string& name, const Bytes& bytes)
{
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint32_t> Palette(int n)
{
    std::vector<std::uint32_t> p;
    for (int i = 0; i < n; ++i)
        p.push_back(static_cast<std::uint32_t>(i * 0x010305) & 0xFFFFFF);
    return p;
}

std::uint32_t Pattern(int x, int y) { return static_cast<std::uint32_t>(x * 0x0A0503 + y * 0x030A05); }

std::vector<std::pair<std::string, Bytes>> BmpSeeds()
{
    std::vector<std::pair<std::string, Bytes>> seeds;
    auto add = [&](const std::string& name, BmpForm f) {
        if (f.bits <= 8 && f.palette.empty())
            f.palette = Palette(1 << f.bits);
        const Bytes rows = PackRows(f, [&](int x, int y) {
            return f.bits <= 8 ? static_cast<std::uint32_t>(x + y) % f.palette.size() : Pattern(x, y);
        });
        seeds.emplace_back(name, MakeBmp(f, rows));
    };
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        add("bits" + std::to_string(bits) + ".bmp", {.width = 11, .height = 6, .bits = bits});
        add("bits" + std::to_string(bits) + "_topdown.bmp", {.width = 5, .height = 9, .bits = bits, .topDown = true});
    }
    add("fields16.bmp", {.width = 7, .height = 4, .bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x1F}});
    add("fields32.bmp", {.width = 7, .height = 4, .bits = 32, .compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF}});
    add("core8.bmp", {.width = 6, .height = 3, .bits = 8, .core = true});
    add("core1.bmp", {.width = 9, .height = 2, .bits = 1, .core = true});
    add("noheader4.bmp", {.width = 5, .height = 5, .bits = 4, .fileHeader = false});
    add("gap24.bmp", {.width = 3, .height = 3, .bits = 24, .gap = 20, .writeSizeImage = false});
    // RLE8: runs, literals, end of line, a delta, end of bitmap; RLE4 likewise.
    BmpForm rle8{.width = 8, .height = 4, .bits = 8, .compression = 1, .palette = Palette(256)};
    seeds.emplace_back("rle8.bmp", MakeBmp(rle8, {4, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 2, 1, 3, 7, 0, 0, 0, 1}));
    BmpForm rle4{.width = 8, .height = 4, .bits = 4, .compression = 2, .palette = Palette(16)};
    seeds.emplace_back("rle4.bmp", MakeBmp(rle4, {6, 0x12, 0, 4, 0x34, 0x56, 0, 0, 0, 2, 1, 1, 8, 0xAB, 0, 1}));
    return seeds;
}

std::vector<std::pair<std::string, Bytes>> GifSeeds()
{
    auto image = [](int w, int h, int colours, bool interlaced) {
        GifImage g{.width = w, .height = h, .palette = Palette(colours), .interlaced = interlaced};
        for (int i = 0; i < w * h; ++i)
            g.indices.push_back(static_cast<std::uint8_t>((i / 3 + i * i) % colours));
        return g;
    };
    const Bytes extensions = {0x21, 0xF9, 4, 1, 10, 0, 1, 0, 0x21, 0xFE, 2, 'h', 'i', 0};
    GifImage local = image(9, 9, 8, false);
    local.local = true;
    return {
        {"two.gif", MakeGif({image(16, 5, 2, false)})},
        {"colours.gif", MakeGif({image(40, 30, 256, false)})},
        {"interlaced.gif", MakeGif({image(6, 10, 16, true)})},
        {"animated.gif", MakeGif({image(8, 8, 4, false), local}, extensions)},
        {"local.gif", MakeGif({local})},
    };
}

std::vector<std::pair<std::string, Bytes>> JpegSeeds()
{
    return {
        {"colour.jpg", MakeJpeg(24, 16, 3, Pattern, 75)},
        {"grey.jpg", MakeJpeg(17, 9, 1, Pattern, 75)},
        {"progressive.jpg", MakeJpeg(20, 20, 3, Pattern, 60, true)},
        {"cmyk.jpg", MakeJpeg(8, 8, 4, Pattern, 75)},
    };
}

// The codec fuzzer's input: wanted edge, settings bits and grey, then a JPEG
// (with an EXIF orientation spliced in after its start marker).
std::vector<std::pair<std::string, Bytes>> CodecSeeds()
{
    auto withExif = [](Bytes jpeg, int orientation) {
        Bytes exif = ExifWithOrientation(orientation);
        Bytes segment = {0xFF, 0xE1, static_cast<std::uint8_t>((exif.size() + 2) >> 8),
                         static_cast<std::uint8_t>(exif.size() + 2)};
        segment.insert(segment.end(), exif.begin(), exif.end());
        jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
        return jpeg;
    };
    auto input = [](int edge, std::uint8_t bits, const Bytes& jpeg) {
        Bytes out = {static_cast<std::uint8_t>(edge), static_cast<std::uint8_t>(edge >> 8), bits, 0x40};
        out.insert(out.end(), jpeg.begin(), jpeg.end());
        return out;
    };
    const Bytes wide = MakeJpeg(48, 20, 3, Pattern, 80);
    const Bytes tall = MakeJpeg(18, 40, 3, Pattern, 80);
    return {
        {"reduce.bin", input(15, 2 | 4, withExif(wide, 6))},
        {"aspect.bin", input(31, 1 | 2 | 4 | 8, withExif(tall, 8))},
        {"mirror.bin", input(40, 2 | 4, withExif(wide, 5))},
        {"small.bin", input(100, 4, withExif(tall, 3))},
        {"grey.bin", input(9, 2, MakeJpeg(17, 9, 1, Pattern, 75))},
        {"progressive.bin", input(12, 2 | 4, withExif(MakeJpeg(20, 20, 3, Pattern, 60, true), 7))},
    };
}

// The resampler fuzzer's input: sizes, window, layout and orientation, then pixels.
std::vector<std::pair<std::string, Bytes>> ResampleSeeds()
{
    std::vector<std::pair<std::string, Bytes>> seeds;
    const int forms[][8] = {{40, 30, 13, 17, 0, 0, 255, 255}, {7, 3, 64, 64, 10, 20, 100, 200},
                            {255, 1, 3, 90, 128, 0, 127, 255}, {1, 1, 1, 1, 0, 0, 255, 255}};
    int n = 0;
    for (const auto& f : forms) {
        for (int layout = 0; layout < 4; ++layout) {
            Bytes b = {static_cast<std::uint8_t>(f[0]), 0, static_cast<std::uint8_t>(f[1]), 0,
                       static_cast<std::uint8_t>(f[2]), 0, static_cast<std::uint8_t>(f[3]), 0,
                       static_cast<std::uint8_t>(f[4]), static_cast<std::uint8_t>(f[5]),
                       static_cast<std::uint8_t>(f[6]), static_cast<std::uint8_t>(f[7]),
                       static_cast<std::uint8_t>(layout), static_cast<std::uint8_t>(n % 8 | (n & 1) << 7),
                       0x33, static_cast<std::uint8_t>(n % 3)};
            for (int i = 0; i < 300; ++i)
                b.push_back(static_cast<std::uint8_t>(i * 37 + n));
            seeds.emplace_back("form" + std::to_string(n++) + ".bin", b);
        }
    }
    return seeds;
}

// The EXIF fuzzer's input: blocks alone and in each container that holds one.
std::vector<std::pair<std::string, Bytes>> ExifSeeds(const fs::path& scratch)
{
    std::vector<std::pair<std::string, Bytes>> seeds;
    const Bytes le = ExifBlock({6, "2020:01:02 03:04:05", "2019:03:12 14:30:00"});
    const Bytes be = ExifBlock({3, "2020:01:02 03:04:05", "2019:03:12 14:30:00", true, false});
    seeds.emplace_back("block_le.exif", le);
    seeds.emplace_back("block_be_bare.exif", be);
    seeds.emplace_back("block_ifd0.exif", ExifBlock({0, "", "2019:03:12 14:30:00", false, true, true}));

    Bytes jpeg = MakeJpeg(8, 8, 3, Pattern);
    Bytes app1 = {0xFF, 0xE1, std::uint8_t((le.size() + 2) >> 8), std::uint8_t(le.size() + 2)};
    app1.insert(app1.end(), le.begin(), le.end());
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    seeds.emplace_back("exif.jpg", jpeg);

    auto be32 = [](Bytes& v, std::uint32_t x) {
        for (int i = 3; i >= 0; --i)
            v.push_back(std::uint8_t(x >> (8 * i)));
    };
    auto le32 = [](Bytes& v, std::uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v.push_back(std::uint8_t(x >> (8 * i)));
    };
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto pngChunk = [&](const char* type, const Bytes& data) {
        be32(png, std::uint32_t(data.size()));
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        be32(png, 0);
    };
    pngChunk("IHDR", Bytes(13, 1));
    pngChunk("IDAT", Bytes(20, 7));
    pngChunk("eXIf", be);
    pngChunk("IEND", {});
    seeds.emplace_back("exif.png", png);

    Bytes body = {'W', 'E', 'B', 'P', 'V', 'P', '8', 'X'};
    le32(body, 10);
    body.insert(body.end(), 10, 0);
    body.insert(body.end(), {'E', 'X', 'I', 'F'});
    le32(body, std::uint32_t(le.size()));
    body.insert(body.end(), le.begin(), le.end());
    Bytes webp = {'R', 'I', 'F', 'F'};
    le32(webp, std::uint32_t(body.size()));
    webp.insert(webp.end(), body.begin(), body.end());
    seeds.emplace_back("exif.webp", webp);

    const fs::path tiff = scratch / "exif-seed.tif";
    if (WriteTiffWithDates(tiff.string(), 4, 3, "2020:01:02 03:04:05", "2019:03:12 14:30:00")) {
        std::ifstream in(tiff, std::ios::binary);
        seeds.emplace_back("exif.tif", Bytes(std::istreambuf_iterator<char>(in), {}));
    }
    fs::remove(tiff);
    return seeds;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    for (auto& [name, bytes] : BmpSeeds()) {
        Save(root / "fuzz_dib_read", name, bytes);
        // The DIB conversion's first byte chooses the display depth.
        for (std::uint8_t depth : {24, 8, 4}) {
            Bytes withDepth = {depth};
            withDepth.insert(withDepth.end(), bytes.begin(), bytes.end());
            Save(root / "fuzz_dib_to_bitmap", std::to_string(depth) + "_" + name, withDepth);
        }
    }
    for (auto& [name, bytes] : GifSeeds())
        Save(root / "fuzz_gif_read", name, bytes);
    for (auto& [name, bytes] : JpegSeeds())
        Save(root / "fuzz_jpeg_read", name, bytes);
    for (auto& [name, bytes] : CodecSeeds())
        Save(root / "fuzz_codec_jpeg", name, bytes);
    for (auto& [name, bytes] : ResampleSeeds())
        Save(root / "fuzz_resample", name, bytes);
    fs::create_directories(root);
    for (auto& [name, bytes] : ExifSeeds(root))
        Save(root / "fuzz_photo_exif", name, bytes);
    return 0;
}
