#include "fixture_writers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>

#include <cstdio>
#include <jpeglib.h>

namespace {

void Put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// LSB-first bit packing into GIF data sub-blocks.
class GifBits {
public:
    explicit GifBits(int minCodeSize) { out_.push_back(static_cast<std::uint8_t>(minCodeSize)); }
    void Write(int code, int bits)
    {
        acc_ |= static_cast<std::uint32_t>(code) << have_;
        have_ += bits;
        while (have_ >= 8) {
            data_.push_back(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            have_ -= 8;
        }
    }
    Bytes Finish()
    {
        if (have_ > 0)
            data_.push_back(static_cast<std::uint8_t>(acc_));
        for (std::size_t i = 0; i < data_.size(); i += 255) {
            std::size_t n = std::min<std::size_t>(255, data_.size() - i);
            out_.push_back(static_cast<std::uint8_t>(n));
            out_.insert(out_.end(), data_.begin() + static_cast<long>(i), data_.begin() + static_cast<long>(i + n));
        }
        out_.push_back(0);
        return out_;
    }

private:
    Bytes out_, data_;
    std::uint32_t acc_ = 0;
    int have_ = 0;
};

int TableBits(std::size_t colours)
{
    int bits = 1;
    while ((std::size_t(1) << bits) < colours)
        ++bits;
    return bits;
}

void PutTable(Bytes& b, const std::vector<std::uint32_t>& palette)
{
    for (std::uint32_t c : palette) {
        b.push_back(static_cast<std::uint8_t>(c >> 16));
        b.push_back(static_cast<std::uint8_t>(c >> 8));
        b.push_back(static_cast<std::uint8_t>(c));
    }
}

} // namespace

Bytes PackRows(const BmpForm& form, const std::function<std::uint32_t(int, int)>& value)
{
    const auto stride = static_cast<std::size_t>(DibRowBytes(form.width, form.bits));
    Bytes out(stride * static_cast<std::size_t>(form.height));
    for (int s = 0; s < form.height; ++s) {
        const int y = form.topDown ? s : form.height - 1 - s;
        std::uint8_t* row = out.data() + static_cast<std::size_t>(s) * stride;
        for (int x = 0; x < form.width; ++x) {
            const std::uint32_t v = value(x, y);
            switch (form.bits) {
            case 1: row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = static_cast<std::uint8_t>(v); break;
            case 16: row[2 * x] = static_cast<std::uint8_t>(v), row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8); break;
            case 24:
                row[3 * x] = static_cast<std::uint8_t>(v);
                row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
                row[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
                break;
            case 32: std::memcpy(row + 4 * x, &v, 4); break;
            default: throw std::logic_error("unsupported depth");
            }
        }
    }
    return out;
}

Bytes MakeBmp(const BmpForm& form, const Bytes& pixelBytes)
{
    Bytes header;
    if (form.core) {
        Put32(header, 12);
        Put16(header, static_cast<unsigned>(form.width));
        Put16(header, static_cast<unsigned>(form.height));
        Put16(header, 1);
        Put16(header, static_cast<unsigned>(form.bits));
    } else {
        Put32(header, 40);
        Put32(header, static_cast<std::uint32_t>(form.width));
        Put32(header, static_cast<std::uint32_t>(form.topDown ? -form.height : form.height));
        Put16(header, 1);
        Put16(header, static_cast<unsigned>(form.bits));
        Put32(header, form.compression);
        Put32(header, form.writeSizeImage ? static_cast<std::uint32_t>(pixelBytes.size()) : 0);
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, static_cast<std::uint32_t>(form.palette.size()));
        Put32(header, 0);
    }
    if (form.compression == 3)
        for (std::uint32_t m : form.masks)
            Put32(header, m);
    for (std::uint32_t c : form.palette) {
        header.push_back(static_cast<std::uint8_t>(c));
        header.push_back(static_cast<std::uint8_t>(c >> 8));
        header.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!form.core)
            header.push_back(0);
    }
    Bytes file;
    if (form.fileHeader) {
        const std::uint32_t offBits = 14 + static_cast<std::uint32_t>(header.size()) + form.gap;
        file = {'B', 'M'};
        Put32(file, offBits + static_cast<std::uint32_t>(pixelBytes.size()));
        Put32(file, 0);
        Put32(file, offBits);
    }
    file.insert(file.end(), header.begin(), header.end());
    if (form.fileHeader)
        file.insert(file.end(), form.gap, 0xA5);
    file.insert(file.end(), pixelBytes.begin(), pixelBytes.end());
    return file;
}

Bytes GifLzw(const std::vector<std::uint8_t>& indices, int minCodeSize)
{
    GifBits out(minCodeSize);
    const int clear = 1 << minCodeSize, end = clear + 1;
    // The encoder mirrors the decoder's table growth so that every code goes
    // out at the width the decoder will read it with.
    int size = 0, decoderNext = 0, encoderNext = 0;
    bool firstAfterClear = true;
    std::map<std::pair<int, int>, int> dictionary;
    auto put = [&](int code) {
        out.Write(code, size);
        if (firstAfterClear) {
            firstAfterClear = false;
            return;
        }
        if (decoderNext < (1 << size))
            ++decoderNext;
        if (decoderNext >= (1 << size) && size < 12)
            ++size;
    };
    auto reset = [&] {
        out.Write(clear, size);
        size = minCodeSize + 1;
        decoderNext = encoderNext = clear + 2;
        firstAfterClear = true;
        dictionary.clear();
    };
    size = minCodeSize + 1;
    reset();
    if (indices.empty()) {
        out.Write(end, size);
        return out.Finish();
    }
    int prefix = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const int k = indices[i];
        auto it = dictionary.find({prefix, k});
        if (it != dictionary.end()) {
            prefix = it->second;
            continue;
        }
        put(prefix);
        if (encoderNext < 4096)
            dictionary[{prefix, k}] = encoderNext++;
        else
            reset();
        prefix = k;
    }
    put(prefix);
    out.Write(end, size);
    return out.Finish();
}

Bytes GifRawCodes(int minCodeSize, const std::vector<std::pair<int, int>>& codeAndBits)
{
    GifBits out(minCodeSize);
    for (auto [code, bits] : codeAndBits)
        out.Write(code, bits);
    return out.Finish();
}

std::vector<int> InterlacedOrder(int height)
{
    std::vector<int> order;
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            order.push_back(y);
    return order;
}

Bytes MakeGif(const std::vector<GifImage>& frames, const Bytes& extensions)
{
    const GifImage& first = frames.front();
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(b, static_cast<unsigned>(first.width));
    Put16(b, static_cast<unsigned>(first.height));
    const int globalBits = first.local ? 0 : TableBits(first.palette.size());
    b.push_back(first.local ? 0 : static_cast<std::uint8_t>(0x80 | (globalBits - 1) << 4 | (globalBits - 1)));
    b.push_back(0);
    b.push_back(0);
    if (!first.local)
        PutTable(b, first.palette);
    b.insert(b.end(), extensions.begin(), extensions.end());
    for (const GifImage& f : frames) {
        b.push_back(0x2C);
        Put16(b, 0);
        Put16(b, 0);
        Put16(b, static_cast<unsigned>(f.width));
        Put16(b, static_cast<unsigned>(f.height));
        const int bits = TableBits(f.palette.size());
        b.push_back(static_cast<std::uint8_t>((f.local ? 0x80 | (bits - 1) : 0) | (f.interlaced ? 0x40 : 0)));
        if (f.local)
            PutTable(b, f.palette);
        std::vector<std::uint8_t> stored;
        std::vector<int> rows = f.interlaced ? InterlacedOrder(f.height) : std::vector<int>{};
        for (int s = 0; s < f.height; ++s) {
            const int y = f.interlaced ? rows[static_cast<std::size_t>(s)] : s;
            auto row = f.indices.begin() + static_cast<long>(y) * f.width;
            stored.insert(stored.end(), row, row + f.width);
        }
        const int minCode = f.minCodeSize ? f.minCodeSize : std::max(2, bits);
        Bytes data = GifLzw(stored, minCode);
        b.insert(b.end(), data.begin(), data.end());
    }
    b.push_back(0x3B);
    return b;
}

Bytes MakeJpeg(int width, int height, int components, const std::function<std::uint32_t(int, int)>& rgb, int quality,
               bool progressive)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgb(x, y);
            for (int k = 0; k < components; ++k)
                row[static_cast<std::size_t>(x * components + k)] =
                    static_cast<JSAMPLE>(components == 1 ? c & 0xFF : c >> (8 * (components - 1 - k)));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}


Bytes WithRepeatedScans(const Bytes& progressive, int copies)
{
    // The component ids from the progressive frame header (SOF2).
    std::vector<std::uint8_t> ids;
    std::size_t at = 2;
    while (at + 4 <= progressive.size() && progressive[at] == 0xFF) {
        const std::uint8_t marker = progressive[at + 1];
        const std::size_t length = static_cast<std::size_t>(progressive[at + 2] << 8 | progressive[at + 3]);
        if (marker == 0xC2 && at + 10 <= progressive.size()) {
            const int count = progressive[at + 9];
            for (int i = 0; i < count && at + 10 + 3 * i < progressive.size(); ++i)
                ids.push_back(progressive[at + 10 + 3 * i]);
            break;
        }
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    const std::size_t n = progressive.size();
    if (ids.empty() || n < 4 || progressive[n - 2] != 0xFF || progressive[n - 1] != 0xD9)
        return {};
    // SOS of every component, spectral 0..0, successive approximation 1 -> 0,
    // then one byte of data.
    Bytes scan = {0xFF, 0xDA, 0x00, static_cast<std::uint8_t>(6 + 2 * ids.size()),
                  static_cast<std::uint8_t>(ids.size())};
    for (std::uint8_t id : ids) {
        scan.push_back(id);
        scan.push_back(0x00);
    }
    scan.insert(scan.end(), {0x00, 0x00, 0x10, 0x00});
    Bytes out(progressive.begin(), progressive.end() - 2);
    out.reserve(out.size() + scan.size() * static_cast<std::size_t>(copies) + 2);
    for (int i = 0; i < copies; ++i)
        out.insert(out.end(), scan.begin(), scan.end());
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}
