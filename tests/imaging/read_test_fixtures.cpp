#include "read_test_fixtures.h"

#include "imaging/own/reader_trace.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

Pixels FromQImage(const QImage& image)
{
    Pixels p;
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    p.width = rgb.width();
    p.height = rgb.height();
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.argb.push_back(rgb.pixel(x, y) | 0xFF000000u);
    return p;
}

std::vector<std::string>& Traces()
{
    static std::vector<std::string> texts;
    return texts;
}

} // namespace

Pixels ExpandDib(const PackedDib& dib)
{
    const BitmapInfoHeader h = dib.Header();
    const bool topDown = h.biHeight < 0;
    Pixels p;
    p.width = h.biWidth;
    p.height = topDown ? -h.biHeight : h.biHeight;
    const std::uint8_t* table = dib.data() + 40;
    const std::uint8_t* bits = dib.data() + dib.PixelOffset();
    const auto stride = static_cast<std::size_t>(DibRowBytes(h.biWidth, h.biBitCount));
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (h.biBitCount == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (h.biCompression == 3)
        std::memcpy(masks, table, 12);
    auto channel = [](std::uint32_t v, std::uint32_t mask) {
        if (!mask)
            return 0u;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const std::uint32_t max = mask >> shift;
        return ((v & mask) >> shift) * 255u / max;
    };
    for (int y = 0; y < p.height; ++y) {
        const std::uint8_t* row = bits + static_cast<std::size_t>(topDown ? y : p.height - 1 - y) * stride;
        for (int x = 0; x < p.width; ++x) {
            std::uint32_t v = 0;
            switch (h.biBitCount) {
            case 1: v = (row[x / 8] >> (7 - x % 8)) & 1; break;
            case 4: v = (row[x / 2] >> (x % 2 ? 0 : 4)) & 15; break;
            case 8: v = row[x]; break;
            case 16: v = static_cast<std::uint32_t>(row[2 * x] | row[2 * x + 1] << 8); break;
            case 24: v = static_cast<std::uint32_t>(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16); break;
            case 32: std::memcpy(&v, row + 4 * x, 4); break;
            }
            std::uint32_t argb;
            if (h.biBitCount <= 8) {
                const std::uint8_t* e = table + 4 * v;
                argb = static_cast<std::uint32_t>(e[2]) << 16 | static_cast<std::uint32_t>(e[1]) << 8 | e[0];
            } else if (h.biBitCount == 24) {
                argb = v;
            } else {
                argb = channel(v, masks[0]) << 16 | channel(v, masks[1]) << 8 | channel(v, masks[2]);
            }
            p.argb.push_back(argb | 0xFF000000u);
        }
    }
    return p;
}

Pixels QtDecode(const Bytes& file)
{
    QByteArray data(reinterpret_cast<const char*>(file.data()), static_cast<qsizetype>(file.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    return FromQImage(reader.read());
}

int MaxChannelDifference(const Pixels& a, const Pixels& b)
{
    if (a.width != b.width || a.height != b.height || a.argb.size() != b.argb.size())
        return -1;
    int worst = 0;
    for (std::size_t i = 0; i < a.argb.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            worst = std::max(worst, std::abs(static_cast<int>((a.argb[i] >> shift) & 0xFF) -
                                             static_cast<int>((b.argb[i] >> shift) & 0xFF)));
    return worst;
}

TempFile::TempFile(const Bytes& bytes, const std::string& ext)
{
    static int counter = 0;
    path_ = (std::filesystem::temp_directory_path() /
             ("tsv-read-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ext))
                .string();
    std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

TempFile::~TempFile() { std::remove(path_.c_str()); }

TraceCapture::TraceCapture()
{
    Traces().clear();
    SetReaderTraceSink([](const char* text) { Traces().emplace_back(text); });
}

TraceCapture::~TraceCapture() { SetReaderTraceSink(nullptr); }

const std::vector<std::string>& TraceCapture::texts() const { return Traces(); }

bool TraceCapture::Contains(const std::string& text) const
{
    return std::find(Traces().begin(), Traces().end(), text) != Traces().end();
}
