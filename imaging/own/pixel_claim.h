#pragma once
// What an image file claims against what it holds, checked before any memory
// is set aside for its pixels: a header costs nothing to forge, so a 60-byte
// file could otherwise claim a gigabyte.
//
// Uncompressed pixel data has a known size. A file is read when it holds at
// least half of that size or all but kClaimSlackBytes of it (a photo cut short
// in a copy still shows, its missing rows black); any bigger claim is refused.
// Compressed data (RLE in a BMP, and every other compressed format) may expand
// without bound, so it is taken up to the per-image cap that both decode paths
// keep: kMaxDibPixelBytes (packed_dib.h) of pixels, which is also the
// allocation limit given to Qt's image readers.
#include <cstdint>
#include <span>
#include <string>

constexpr std::uint64_t kClaimSlackBytes = 64 * 1024;

// Whether `present` bytes of uncompressed pixel data may stand for `claimed`.
bool UncompressedClaimFits(std::uint64_t claimed, std::uint64_t present);

// For a BMP file (it starts with "BM") whose first bytes are `head` and whose
// size is `fileSize`: why its uncompressed pixels cannot be in it, or empty
// when they can, when it is compressed, or when the header is for the reader
// to judge.
std::string BmpClaimProblem(std::span<const std::uint8_t> head, std::uint64_t fileSize);
