#pragma once
// The packed device-independent bitmap: a 40-byte bitmap-info header, a colour
// table (or three bit-field masks), then pixel rows padded to 4 bytes, all in
// one owned, zero-initialised block. It is the common output of the program's
// own readers and the input of CBitmapEx.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;      // positive: bottom row first
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

constexpr std::uint32_t BI_RGB_ = 0, BI_RLE8_ = 1, BI_RLE4_ = 2, BI_BITFIELDS_ = 3;

// Largest packed DIB any part of the program makes or accepts (pixel bytes).
// Fuzzing builds use a smaller bound so that a tiny input cannot claim a
// gigabyte and slow every run down; the checks are the same.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr std::size_t kMaxDibPixelBytes = std::size_t(1) << 26;
#else
constexpr std::size_t kMaxDibPixelBytes = std::size_t(1) << 30;
#endif

// One packed DIB in one owned block (stands for a locked movable global block).
class PackedDib {
public:
    PackedDib() = default;
    // A zero-filled block of `size` bytes; empty when size is 0 or allocation fails.
    static PackedDib Allocate(std::size_t size);

    explicit operator bool() const { return data_ != nullptr; }
    std::size_t size() const { return size_; }
    std::uint8_t* data() { return data_.get(); }
    const std::uint8_t* data() const { return data_.get(); }
    std::span<std::uint8_t> bytes() { return {data_.get(), size_}; }
    std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }

    // The header, read and written through memcpy (the block has no alignment promise).
    BitmapInfoHeader Header() const;
    void SetHeader(const BitmapInfoHeader& h);

    // Byte offset of the pixel rows: 40 + colour table (4 x biClrUsed, or 12 for bit fields).
    std::size_t PixelOffset() const;
    void Reset() { data_.reset(); size_ = 0; }

private:
    // calloc'd: large blocks come zeroed from the system without being touched,
    // so a truncated file that claims many pixel bytes costs no more than it holds.
    struct Free {
        void operator()(std::uint8_t* p) const;
    };
    std::unique_ptr<std::uint8_t[], Free> data_;
    std::size_t size_ = 0;
};

// Entries of a header's colour table by the standard rule (core headers: `core` true).
int DibColorCount(const BitmapInfoHeader& h, bool core = false);
// Bytes of one padded row.
inline std::int64_t DibRowBytes(std::int64_t width, int bits) { return ((bits * width + 31) / 32) * 4; }

// An empty packed DIB (depth normalised to 1, 4, 8 or 24); empty on failure.
PackedDib CreateDib(int width, int height, int bits, bool topDown);
