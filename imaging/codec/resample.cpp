#include "imaging/codec/resample.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if !defined(__SSE2__)
// The rounding of the plain loop; the vector paths round in their registers.
inline std::uint8_t ToByte(float v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}
#endif

#if defined(__x86_64__)
// Two pixels per 256-bit operation with fused multiply-adds, on processors
// that have them (chosen at run time).
bool CpuHasAvx2Fma()
{
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
}

template <int N>
__attribute__((target("avx2,fma"))) void HorizontalPairs(const float* line, const float* pairWeights,
                                                          const int* first, int colLo, int outW, int taps,
                                                          float* dst)
{
    if constexpr (N > 0)
        taps = N;
    for (int x = 0; x + 1 < outW; x += 2) {
        const float* a = line + static_cast<std::ptrdiff_t>(first[x] - colLo) * 4;
        const float* b = line + static_cast<std::ptrdiff_t>(first[x + 1] - colLo) * 4;
        const float* w = pairWeights + static_cast<std::ptrdiff_t>(x / 2) * taps * 8;
        __m256 acc = _mm256_setzero_ps();
        for (int k = 0; k < taps; ++k) {
            const __m256 s = _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(a + 4 * k)),
                                                  _mm_loadu_ps(b + 4 * k), 1);
            acc = _mm256_fmadd_ps(_mm256_loadu_ps(w + 8 * k), s, acc);
        }
        _mm256_storeu_ps(dst + 4 * x, acc);
    }
}

template <int N, bool Alpha>
__attribute__((target("avx2,fma"))) int EmitPairs(const float* const* rows, const float* weights, int taps, int outW,
                                                   std::uint32_t* p, std::ptrdiff_t stepX, const float* bg4)
{
    if constexpr (N > 0)
        taps = N;
    __m256 wk[N > 0 ? N : 1];
    if constexpr (N > 0)
        for (int k = 0; k < N; ++k)
            wk[k] = _mm256_set1_ps(weights[k]);
    const __m128 bg128 = _mm_loadu_ps(bg4);
    const __m256 bg = _mm256_insertf128_ps(_mm256_castps128_ps256(bg128), bg128, 1);
    const __m256 zero = _mm256_setzero_ps(), top = _mm256_set1_ps(255.0f);
    const __m256 inv = _mm256_set1_ps(1.0f / 255.0f), one = _mm256_set1_ps(1.0f);
    int x = 0;
    for (; x + 1 < outW; x += 2, p += 2 * stepX) {
        __m256 acc = _mm256_setzero_ps();
        for (int k = 0; k < taps; ++k)
            acc = _mm256_fmadd_ps(N > 0 ? wk[k] : _mm256_set1_ps(weights[k]), _mm256_loadu_ps(rows[k] + 4 * x), acc);
        if constexpr (Alpha) {
            __m256 alpha = _mm256_shuffle_ps(acc, acc, _MM_SHUFFLE(3, 3, 3, 3));
            alpha = _mm256_min_ps(_mm256_max_ps(alpha, zero), top);
            acc = _mm256_fmadd_ps(bg, _mm256_sub_ps(one, _mm256_mul_ps(alpha, inv)), acc);
        }
        acc = _mm256_min_ps(_mm256_max_ps(acc, zero), top);
        const __m256i i32 = _mm256_cvtps_epi32(acc);
        const __m256i i16 = _mm256_packs_epi32(i32, i32);
        const __m256i i8 = _mm256_packus_epi16(i16, i16);
        p[0] = static_cast<std::uint32_t>(_mm256_extract_epi32(i8, 0)) | 0xFF000000u;
        p[stepX] = static_cast<std::uint32_t>(_mm256_extract_epi32(i8, 4)) | 0xFF000000u;
    }
    return x;
}
#else
bool CpuHasAvx2Fma() { return false; }
#endif
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
                                 PixelLayout layout, std::uint32_t background, OutputMap out, bool wide)
    : outW_(std::max(outW, 0)), outH_(std::max(outH, 0)), layout_(layout), out_(out)
{
    // Pixels are kept as four floats in the order blue, green, red, alpha,
    // premultiplied, so that one vector operation handles one pixel.
    bg_[0] = static_cast<float>(background & 0xFF);
    bg_[1] = static_cast<float>((background >> 8) & 0xFF);
    bg_[2] = static_cast<float>((background >> 16) & 0xFF);
    bg_[3] = 0.0f;
    if (outW_ == 0 || outH_ == 0 || srcW <= 0 || srcH <= 0 || source.w <= 0 || source.h <= 0) {
        nextOut_ = outH_;
        return;
    }
    h_ = BuildAxis(srcW, source.x, source.w, outW_, colLo_, colHi_);
    v_ = BuildAxis(srcH, source.y, source.h, outH_, rowLo_, rowHi_);
    ringRows_ = v_.maxCount;
    // Every output column reads maxCount taps; the ones past its own count
    // weigh zero, and the line has maxCount zero pixels of slack at its end.
    line_.assign(static_cast<std::size_t>(colHi_ - colLo_ + h_.maxCount) * 4, 0.0f);
    hWeights4_.assign(static_cast<std::size_t>(outW_) * h_.maxCount * 4, 0.0f);
    for (int x = 0; x < outW_; ++x)
        for (int k = 0; k < h_.count[x]; ++k)
            for (int c = 0; c < 4; ++c)
                hWeights4_[(static_cast<std::size_t>(x) * h_.maxCount + k) * 4 + c] =
                    h_.weights[static_cast<std::size_t>(h_.offset[x] + k)];
    wide_ = wide && CpuHasAvx2Fma();
    if (wide_) {
        const int taps = h_.maxCount;
        hWeightsPairs_.assign(static_cast<std::size_t>(outW_ / 2) * taps * 8, 0.0f);
        for (int x = 0; x < (outW_ & ~1); ++x)
            for (int k = 0; k < h_.count[x]; ++k)
                for (int c = 0; c < 4; ++c)
                    hWeightsPairs_[(static_cast<std::size_t>(x / 2) * taps + k) * 8 + (x % 2) * 4 + c] =
                        h_.weights[static_cast<std::size_t>(h_.offset[x] + k)];
    }
    ring_.resize(static_cast<std::size_t>(ringRows_) * outW_ * 4);
    rowPointers_.resize(static_cast<std::size_t>(ringRows_));
    rowWeights_.resize(static_cast<std::size_t>(ringRows_));
}

void StreamResampler::Convert(const std::uint8_t* row)
{
    float* line = line_.data();
    const int n = colHi_ - colLo_;
    switch (layout_) {
    case PixelLayout::RGB24: {
        const std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(colLo_);
        for (int i = 0; i < n; ++i, p += 3, line += 4) {
            line[0] = p[2];
            line[1] = p[1];
            line[2] = p[0];
            line[3] = 255.0f;
        }
        break;
    }
    case PixelLayout::BGRX32: {
        const std::uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(colLo_);
        int i = 0;
#if defined(__SSE2__)
        // Four pixels at a time: bytes widened to floats, the fourth channel set to 255.
        const __m128i zero = _mm_setzero_si128();
        const __m128 keep = _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1));
        const __m128 opaque = _mm_set_ps(255.0f, 0.0f, 0.0f, 0.0f);
        for (; i + 4 <= n; i += 4, p += 16, line += 16) {
            const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i lo = _mm_unpacklo_epi8(px, zero), hi = _mm_unpackhi_epi8(px, zero);
            const __m128i q[4] = {_mm_unpacklo_epi16(lo, zero), _mm_unpackhi_epi16(lo, zero),
                                  _mm_unpacklo_epi16(hi, zero), _mm_unpackhi_epi16(hi, zero)};
            for (int k = 0; k < 4; ++k)
                _mm_storeu_ps(line + 4 * k, _mm_or_ps(_mm_and_ps(_mm_cvtepi32_ps(q[k]), keep), opaque));
        }
#endif
        for (; i < n; ++i, p += 4, line += 4) {
            line[0] = p[0];
            line[1] = p[1];
            line[2] = p[2];
            line[3] = 255.0f;
        }
        break;
    }
    case PixelLayout::BGRA32: {
        const std::uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(colLo_);
        for (int i = 0; i < n; ++i, p += 4, line += 4) {
            const float k = p[3] / 255.0f;
            line[0] = p[0] * k;
            line[1] = p[1] * k;
            line[2] = p[2] * k;
            line[3] = p[3];
        }
        break;
    }
    case PixelLayout::BGRA32Premultiplied: {
        const std::uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(colLo_);
        for (int i = 0; i < n * 4; ++i)
            line[i] = p[i];
        break;
    }
    }
}

template <int N>
void StreamResampler::HorizontalFixed(float* dst) const
{
    const int taps = N > 0 ? N : h_.maxCount;
    const float* line = line_.data();
    int x = 0;
#if defined(__x86_64__)
    if (wide_) {
        HorizontalPairs<N>(line, hWeightsPairs_.data(), h_.first.data(), colLo_, outW_, taps, dst);
        x = outW_ & ~1;
    }
#endif
    const float* w4 = hWeights4_.data() + static_cast<std::size_t>(x) * taps * 4;
    dst += 4 * x;
    for (; x < outW_; ++x, w4 += 4 * taps, dst += 4) {
        const float* s = line + static_cast<std::ptrdiff_t>(h_.first[x] - colLo_) * 4;
#if defined(__SSE2__)
        __m128 acc = _mm_mul_ps(_mm_loadu_ps(w4), _mm_loadu_ps(s));
        for (int k = 1; k < taps; ++k)
            acc = _mm_add_ps(acc, _mm_mul_ps(_mm_loadu_ps(w4 + 4 * k), _mm_loadu_ps(s + 4 * k)));
        _mm_storeu_ps(dst, acc);
#else
        float acc[4] = {};
        for (int k = 0; k < taps; ++k)
            for (int c = 0; c < 4; ++c)
                acc[c] += w4[4 * k] * s[4 * k + c];
        for (int c = 0; c < 4; ++c)
            dst[c] = acc[c];
#endif
    }
}

void StreamResampler::Horizontal(float* dst) const
{
    switch (h_.maxCount) {
    case 1: HorizontalFixed<1>(dst); break;
    case 2: HorizontalFixed<2>(dst); break;
    case 3: HorizontalFixed<3>(dst); break;
    case 4: HorizontalFixed<4>(dst); break;
    case 5: HorizontalFixed<5>(dst); break;
    case 6: HorizontalFixed<6>(dst); break;
    case 7: HorizontalFixed<7>(dst); break;
    case 8: HorizontalFixed<8>(dst); break;
    default: HorizontalFixed<0>(dst); break;
    }
}

template <int N, bool Alpha>
void StreamResampler::EmitFixed(int j)
{
    const int taps = N > 0 ? N : v_.count[j];
    const std::size_t rowFloats = static_cast<std::size_t>(outW_) * 4;
    const float** rows = rowPointers_.data();
    const float* weights = v_.weights.data() + v_.offset[j];
    for (int k = 0; k < taps; ++k)
        rows[k] = ring_.data() + static_cast<std::size_t>((v_.first[j] + k) % ringRows_) * rowFloats;
    std::uint32_t* p = out_.origin + static_cast<std::ptrdiff_t>(j) * out_.stepY;
#if defined(__SSE2__)
    __m128 wk[N > 0 ? N : 1];
    if constexpr (N > 0)
        for (int k = 0; k < N; ++k)
            wk[k] = _mm_set1_ps(weights[k]);
    const __m128 bg = _mm_loadu_ps(bg_);
    const __m128 zero = _mm_setzero_ps(), top = _mm_set1_ps(255.0f), inv = _mm_set1_ps(1.0f / 255.0f);
    const __m128 one = _mm_set1_ps(1.0f);
    int x = 0;
#if defined(__x86_64__)
    if (wide_) {
        x = EmitPairs<N, Alpha>(rows, weights, taps, outW_, p, out_.stepX, bg_);
        p += x * out_.stepX;
    }
#endif
    for (; x < outW_; ++x, p += out_.stepX) {
        __m128 acc = _mm_setzero_ps();
        for (int k = 0; k < taps; ++k)
            acc = _mm_add_ps(acc, _mm_mul_ps(N > 0 ? wk[k] : _mm_set1_ps(weights[k]), _mm_loadu_ps(rows[k] + 4 * x)));
        if constexpr (Alpha) {
            // Lay what is not covered over the background: c + bg * (1 - alpha).
            __m128 alpha = _mm_shuffle_ps(acc, acc, _MM_SHUFFLE(3, 3, 3, 3));
            alpha = _mm_min_ps(_mm_max_ps(alpha, zero), top);
            acc = _mm_add_ps(acc, _mm_mul_ps(bg, _mm_sub_ps(one, _mm_mul_ps(alpha, inv))));
        }
        acc = _mm_min_ps(_mm_max_ps(acc, zero), top);
        const __m128i i32 = _mm_cvtps_epi32(acc);
        const __m128i i16 = _mm_packs_epi32(i32, i32);
        const __m128i i8 = _mm_packus_epi16(i16, i16);
        *p = static_cast<std::uint32_t>(_mm_cvtsi128_si32(i8)) | 0xFF000000u;
    }
#else
    for (int x = 0; x < outW_; ++x, p += out_.stepX) {
        float acc[4] = {};
        for (int k = 0; k < taps; ++k)
            for (int c = 0; c < 4; ++c)
                acc[c] += weights[k] * rows[k][4 * x + c];
        const float rest = 1.0f - std::clamp(acc[3], 0.0f, 255.0f) / 255.0f;
        std::uint32_t v = 0xFF000000u;
        for (int c = 0; c < 3; ++c)
            v |= std::uint32_t(ToByte(acc[c] + bg_[c] * rest)) << (8 * c);
        *p = v;
    }
#endif
}

template <bool Alpha>
void StreamResampler::EmitCount(int j)
{
    switch (v_.count[j]) {
    case 1: EmitFixed<1, Alpha>(j); break;
    case 2: EmitFixed<2, Alpha>(j); break;
    case 3: EmitFixed<3, Alpha>(j); break;
    case 4: EmitFixed<4, Alpha>(j); break;
    case 5: EmitFixed<5, Alpha>(j); break;
    case 6: EmitFixed<6, Alpha>(j); break;
    case 7: EmitFixed<7, Alpha>(j); break;
    case 8: EmitFixed<8, Alpha>(j); break;
    default: EmitFixed<0, Alpha>(j); break;
    }
}

void StreamResampler::Emit(int j)
{
    // Opaque sources need no laying over the background.
    if (layout_ == PixelLayout::RGB24 || layout_ == PixelLayout::BGRX32)
        EmitCount<false>(j);
    else
        EmitCount<true>(j);
}

void StreamResampler::PushRow(int y, const std::uint8_t* row)
{
    if (Done() || y < rowLo_ || y >= rowHi_ || y <= lastRow_)
        return;
    lastRow_ = y;
    Convert(row);
    Horizontal(ring_.data() + static_cast<std::size_t>(y % ringRows_) * outW_ * 4);
    while (nextOut_ < outH_ && v_.first[nextOut_] + v_.count[nextOut_] - 1 <= y)
        Emit(nextOut_++);
}
