#include "imaging/own/gif_lzw.h"

#include "imaging/own/image_read.h"
#include "imaging/own/packed_dib.h"
#include "imaging/own/progress.h"

#include <algorithm>
#include <array>
#include <new>
#include <vector>

GifRowSink::GifRowSink(std::uint8_t* pixels, int width, int height, bool interlaced)
    : pixels_(pixels), width_(width), height_(height),
      stride_(static_cast<int>(DibRowBytes(width, 8))), interlaced_(interlaced), step_(interlaced ? 8 : 1)
{
}

void GifRowSink::Output(const std::uint8_t* line)
{
    // Rows stop advancing once past the image, however much data follows.
    if (row_ >= height_)
        return;
    std::copy(line, line + stride_, pixels_ + static_cast<std::size_t>(height_ - 1 - row_) * stride_);
    if (row_ % 4 == 0)
        ProgressStep(row_);
    row_ += step_;
    // Interlace passes start at rows 0, 4, 2, 1 with steps 8, 8, 4, 2. A pass
    // whose first row lies beyond a short image is skipped outright, and
    // nothing after the fourth pass rewrites a row.
    while (interlaced_ && row_ >= height_ && pass_ < 3) {
        if (pass_ > 0)
            step_ /= 2;
        ++pass_;
        row_ = step_ / 2;
    }
}

namespace {

constexpr int kMaxBits = 12;
constexpr int kTableSize = 1 << kMaxBits;
constexpr std::uint16_t kCodeMask[kMaxBits + 1] = {0x000, 0x001, 0x003, 0x007, 0x00F, 0x01F, 0x03F,
                                                   0x07F, 0x0FF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};

// Codes, least significant bit first, from the data sub-blocks.
class CodeReader {
public:
    explicit CodeReader(ByteSource& src) : src_(src) {}

    // The next code of `bits` bits, or -1 at the end of the input.
    int Next(int bits)
    {
        while (have_ < bits) {
            int b = NextByte();
            if (b < 0)
                return -1;
            acc_ |= static_cast<std::uint32_t>(b) << have_;
            have_ += 8;
        }
        int code = static_cast<int>(acc_ & kCodeMask[bits]);
        acc_ >>= bits;
        have_ -= bits;
        return code;
    }

private:
    int NextByte()
    {
        if (left_ <= 0) {
            int size = src_.GetByte();
            if (size < 0)
                return -1;
            // After a size of 0 nothing is refilled and the first byte of the
            // previous sub-block is taken again; the next need reads another size.
            for (int i = 0; i < size; ++i) {
                int c = src_.GetByte();
                if (c < 0)
                    return -1;
                block_[i] = static_cast<std::uint8_t>(c);
            }
            left_ = size;
            pos_ = 0;
        }
        --left_;
        return block_[pos_++];
    }

    ByteSource& src_;
    std::array<std::uint8_t, 255> block_{};
    int left_ = 0;
    int pos_ = 0;
    std::uint32_t acc_ = 0;
    int have_ = 0;
};

struct Tables {
    std::array<std::uint8_t, kTableSize> stack;
    std::array<std::uint8_t, kTableSize> suffix;
    std::array<std::uint16_t, kTableSize> prefix;
};

} // namespace

int DecodeGifLzw(ByteSource& src, GifRowSink& rows)
{
    std::vector<Tables> storage;
    std::vector<std::uint8_t> line;
    try {
        storage.resize(1);
        line.resize(static_cast<std::size_t>(rows.width()) + 4);
    } catch (const std::bad_alloc&) {
        return READ_NO_MEMORY;
    }
    Tables& t = storage[0];
    const std::size_t width = static_cast<std::size_t>(rows.width());

    const int minSize = src.GetByte();
    if (minSize < 0)
        return READ_TRUNCATED;
    if (minSize < 2 || minSize > 9)
        return READ_NO_IMAGE;

    const int clear = 1 << minSize;
    const int end = clear + 1;
    const int firstFree = clear + 2;
    int size = minSize + 1;
    int next = firstFree;
    int limit = 1 << size;
    int prev = 0;
    int first = 0;
    std::size_t linePos = 0;
    CodeReader reader(src);

    auto emit = [&](int pixel) {
        line[linePos++] = static_cast<std::uint8_t>(pixel);
        if (linePos == width) {
            rows.Output(line.data());
            linePos = 0;
        }
    };

    for (;;) {
        int c = reader.Next(size);
        if (c < 0)
            return READ_TRUNCATED;
        if (c == end)
            break;
        if (c == clear) {
            size = minSize + 1;
            next = firstFree;
            limit = 1 << size;
            do {
                c = reader.Next(size);
                if (c < 0)
                    return READ_TRUNCATED;
            } while (c == clear);
            if (c == end)
                break;
            if (c >= next)
                c = 0;
            prev = first = c;
            emit(c);
            continue;
        }

        int code = c;
        int sp = 0;
        if (code >= next) {
            // The code being defined right now (or one beyond it): the previous
            // string followed by its own first character.
            t.stack[sp++] = static_cast<std::uint8_t>(first);
            code = prev;
        }
        while (code >= firstFree) {
            // Corrupt data can chain codes into a loop; a valid chain never fills the stack.
            if (sp >= kTableSize)
                return READ_TRUNCATED;
            t.stack[sp++] = t.suffix[code];
            code = t.prefix[code];
        }
        if (sp >= kTableSize)
            return READ_TRUNCATED;
        t.stack[sp++] = static_cast<std::uint8_t>(code);
        if (next < limit) {
            first = code;
            t.suffix[next] = static_cast<std::uint8_t>(code);
            t.prefix[next] = static_cast<std::uint16_t>(prev);
            ++next;
            prev = c;
        }
        if (next >= limit && size < kMaxBits) {
            limit <<= 1;
            ++size;
        }
        while (sp > 0)
            emit(t.stack[--sp]);
    }
    if (linePos > 0)
        rows.Output(line.data());
    return READ_OK;
}
