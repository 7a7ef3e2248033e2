#pragma once
// High-quality resampling of one rectangle of a photo into a 32-bit target:
// a separable Keys cubic (a = -0.5) widened by the reduction factor so that
// downscaling averages instead of dropping, with the edges of the rectangle
// mirrored. Rows are fed one at a time in ascending order, so a decoder can
// stream its scanlines through without the whole image in memory.
#include "imaging/codec/orientation.h"

#include <cstdint>
#include <vector>

enum class PixelLayout {
    RGB24,               // bytes R, G, B
    BGRX32,              // bytes B, G, R, unused (opaque)
    BGRA32,              // bytes B, G, R, A, straight alpha
    BGRA32Premultiplied, // bytes B, G, R, A, colour premultiplied
};

class StreamResampler {
public:
    // Scales `source` (in pixels of a srcW x srcH image) to outW x outH pixels
    // written through `out`. Translucent pixels are laid over `background`
    // (0x00RRGGBB); every pixel written is opaque. `wide` allows 256-bit
    // operations where the processor has them (the results are the same).
    StreamResampler(int srcW, int srcH, const SourceWindow& source, int outW, int outH,
                    PixelLayout layout, std::uint32_t background, OutputMap out, bool wide = true);

    // The source rows the output needs: [FirstRow, EndRow).
    int FirstRow() const { return rowLo_; }
    int EndRow() const { return rowHi_; }
    // Row y of the source; rows outside the needed range are ignored.
    void PushRow(int y, const std::uint8_t* row);
    // True once every output row has been written.
    bool Done() const { return nextOut_ >= outH_; }

    struct Axis {
        std::vector<int> first;        // first source index of each output index
        std::vector<int> count;        // taps of each output index
        std::vector<int> offset;       // into weights
        std::vector<float> weights;
        int maxCount = 0;
    };
    // Filter taps mapping [start, start + length) of n source pixels onto outN pixels.
    static Axis BuildAxis(int n, double start, double length, int outN, int& lo, int& hi);

private:
    void Convert(const std::uint8_t* row);
    void Horizontal(float* dst) const;
    template <int N> void HorizontalFixed(float* dst) const;
    void Emit(int j);
    template <bool Alpha> void EmitCount(int j);
    template <int N, bool Alpha> void EmitFixed(int j);

    int outW_, outH_;
    PixelLayout layout_;
    float bg_[4];
    OutputMap out_;
    Axis h_, v_;
    int colLo_ = 0, colHi_ = 0, rowLo_ = 0, rowHi_ = 0;
    int nextOut_ = 0;
    int lastRow_ = -1;
    int ringRows_ = 0;
    std::vector<float> hWeights4_; // horizontal weights, each repeated for the four channels
    std::vector<float> hWeightsPairs_; // the same for two neighbouring columns side by side
    bool wide_ = false;            // 256-bit operations available
    std::vector<float> line_;   // one source row as floats, columns [colLo_, colHi_)
    std::vector<float> ring_;   // the last ringRows_ horizontally scaled rows
    std::vector<const float*> rowPointers_;
    std::vector<float> rowWeights_;
};
