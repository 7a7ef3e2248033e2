#include "imaging/resample.h"

#include <algorithm>
#include <cmath>

namespace {
// Keys cubic with a = -0.5 (Catmull-Rom).
inline double Cubic(double x)
{
    constexpr double a = -0.5;
    x = std::fabs(x);
    if (x < 1.0)
        return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    if (x < 2.0)
        return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
    return 0.0;
}

// Mirrors an index into [lo, hi) with the edge pixel repeated (... b a | a b ...).
inline int Mirror(int j, int lo, int hi)
{
    const int n = hi - lo;
    if (n <= 1)
        return lo;
    int t = (j - lo) % (2 * n);
    if (t < 0)
        t += 2 * n;
    if (t >= n)
        t = 2 * n - 1 - t;
    return lo + t;
}

inline std::uint8_t ToByte(float v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}
} // namespace

StreamResampler::Axis StreamResampler::BuildAxis(int n, double start, double length, int outN, int& lo, int& hi)
{
    Axis axis;
    lo = std::clamp(static_cast<int>(std::floor(start + 1e-9)), 0, std::max(n - 1, 0));
    hi = std::clamp(static_cast<int>(std::ceil(start + length - 1e-9)), lo + 1, std::max(n, lo + 1));
    const double scale = length / outN;
    const double support = std::max(1.0, scale);
    const double radius = 2.0 * support;
    axis.first.resize(outN);
    axis.count.resize(outN);
    axis.offset.resize(outN);
    std::vector<double> dense;
    for (int i = 0; i < outN; ++i) {
        const double u = start + (i + 0.5) * scale;
        const int j0 = static_cast<int>(std::ceil(u - radius - 0.5));
        const int j1 = static_cast<int>(std::floor(u + radius - 0.5));
        int fmin = hi, fmax = lo - 1;
        for (int j = j0; j <= j1; ++j) {
            const int f = Mirror(j, lo, hi);
            fmin = std::min(fmin, f);
            fmax = std::max(fmax, f);
        }
        dense.assign(static_cast<std::size_t>(std::max(fmax - fmin + 1, 1)), 0.0);
        double sum = 0.0;
        for (int j = j0; j <= j1; ++j) {
            const double w = Cubic((j + 0.5 - u) / support);
            dense[static_cast<std::size_t>(Mirror(j, lo, hi) - fmin)] += w;
            sum += w;
        }
        if (fmax < fmin) {   // cannot happen with a non-empty range; keep one tap
            fmin = fmax = lo;
            dense.assign(1, 1.0);
            sum = 1.0;
        }
        // Trim taps that carry nothing (an unscaled axis keeps one).
        int a = 0, b = static_cast<int>(dense.size()) - 1;
        while (a < b && std::fabs(dense[static_cast<std::size_t>(a)]) < 1e-7 * std::fabs(sum))
            ++a;
        while (b > a && std::fabs(dense[static_cast<std::size_t>(b)]) < 1e-7 * std::fabs(sum))
            --b;
        axis.first[i] = fmin + a;
        axis.count[i] = b - a + 1;
        axis.offset[i] = static_cast<int>(axis.weights.size());
        for (int k = a; k <= b; ++k)
            axis.weights.push_back(static_cast<float>(dense[static_cast<std::size_t>(k)] / sum));
        axis.maxCount = std::max(axis.maxCount, b - a + 1);
    }
    return axis;
}

StreamResampler::StreamResampler(int srcW, int srcH, const SourceWindow& source, int outW, int outH,
                                 PixelLayout layout, std::uint32_t background, OutputMap out)
    : outW_(std::max(outW, 0)), outH_(std::max(outH, 0)), layout_(layout),
      channels_(layout == PixelLayout::RGB24 || layout == PixelLayout::BGRX32 ? 3 : 4), out_(out)
{
    bg_[0] = static_cast<float>((background >> 16) & 0xFF);
    bg_[1] = static_cast<float>((background >> 8) & 0xFF);
    bg_[2] = static_cast<float>(background & 0xFF);
    if (outW_ == 0 || outH_ == 0 || srcW <= 0 || srcH <= 0 || source.w <= 0 || source.h <= 0) {
        nextOut_ = outH_;
        return;
    }
    h_ = BuildAxis(srcW, source.x, source.w, outW_, colLo_, colHi_);
    v_ = BuildAxis(srcH, source.y, source.h, outH_, rowLo_, rowHi_);
    ringRows_ = v_.maxCount;
    line_.resize(static_cast<std::size_t>(colHi_ - colLo_) * channels_);
    ring_.resize(static_cast<std::size_t>(ringRows_) * outW_ * channels_);
    acc_.resize(static_cast<std::size_t>(outW_) * channels_);
}

template <int C>
void StreamResampler::Horizontal(const std::uint8_t* row, float* dst)
{
    float* line = line_.data();
    const int n = colHi_ - colLo_;
    switch (layout_) {
    case PixelLayout::RGB24: {
        const std::uint8_t* p = row + 3 * colLo_;
        for (int i = 0; i < 3 * n; ++i)
            line[i] = p[i];
        break;
    }
    case PixelLayout::BGRX32: {
        const std::uint8_t* p = row + 4 * colLo_;
        for (int i = 0; i < n; ++i) {
            line[3 * i] = p[4 * i + 2];
            line[3 * i + 1] = p[4 * i + 1];
            line[3 * i + 2] = p[4 * i];
        }
        break;
    }
    case PixelLayout::BGRA32: {
        const std::uint8_t* p = row + 4 * colLo_;
        for (int i = 0; i < n; ++i) {
            const float a = p[4 * i + 3];
            const float k = a / 255.0f;
            line[4 * i] = p[4 * i + 2] * k;
            line[4 * i + 1] = p[4 * i + 1] * k;
            line[4 * i + 2] = p[4 * i] * k;
            line[4 * i + 3] = a;
        }
        break;
    }
    case PixelLayout::BGRA32Premultiplied: {
        const std::uint8_t* p = row + 4 * colLo_;
        for (int i = 0; i < n; ++i) {
            line[4 * i] = p[4 * i + 2];
            line[4 * i + 1] = p[4 * i + 1];
            line[4 * i + 2] = p[4 * i];
            line[4 * i + 3] = p[4 * i + 3];
        }
        break;
    }
    }
    const float* weights = h_.weights.data();
    for (int x = 0; x < outW_; ++x) {
        const float* w = weights + h_.offset[x];
        const float* s = line + static_cast<std::ptrdiff_t>(h_.first[x] - colLo_) * C;
        const int count = h_.count[x];
        float acc[C] = {};
        for (int k = 0; k < count; ++k)
            for (int c = 0; c < C; ++c)
                acc[c] += w[k] * s[k * C + c];
        for (int c = 0; c < C; ++c)
            dst[x * C + c] = acc[c];
    }
}

template <int C>
void StreamResampler::Emit(int j)
{
    const std::size_t rowFloats = static_cast<std::size_t>(outW_) * C;
    float* acc = acc_.data();
    std::fill(acc, acc + rowFloats, 0.0f);
    const float* w = v_.weights.data() + v_.offset[j];
    for (int k = 0; k < v_.count[j]; ++k) {
        const float wk = w[k];
        const float* src = ring_.data() + static_cast<std::size_t>((v_.first[j] + k) % ringRows_) * rowFloats;
        for (std::size_t i = 0; i < rowFloats; ++i)
            acc[i] += wk * src[i];
    }
    std::uint32_t* p = out_.origin + static_cast<std::ptrdiff_t>(j) * out_.stepY;
    for (int x = 0; x < outW_; ++x, p += out_.stepX) {
        const float* a = acc + static_cast<std::size_t>(x) * C;
        float r = a[0], g = a[1], b = a[2];
        if constexpr (C == 4) {
            const float rest = 1.0f - std::clamp(a[3], 0.0f, 255.0f) / 255.0f;
            r += bg_[0] * rest;
            g += bg_[1] * rest;
            b += bg_[2] * rest;
        }
        *p = 0xFF000000u | std::uint32_t(ToByte(r)) << 16 | std::uint32_t(ToByte(g)) << 8 | ToByte(b);
    }
}

void StreamResampler::PushRow(int y, const std::uint8_t* row)
{
    if (Done() || y < rowLo_ || y >= rowHi_ || y <= lastRow_)
        return;
    lastRow_ = y;
    float* dst = ring_.data() + static_cast<std::size_t>(y % ringRows_) * outW_ * channels_;
    if (channels_ == 3)
        Horizontal<3>(row, dst);
    else
        Horizontal<4>(row, dst);
    while (nextOut_ < outH_ && v_.first[nextOut_] + v_.count[nextOut_] - 1 <= y) {
        if (channels_ == 3)
            Emit<3>(nextOut_);
        else
            Emit<4>(nextOut_);
        ++nextOut_;
    }
}
