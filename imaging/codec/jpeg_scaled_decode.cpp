#include "imaging/codec/jpeg_scaled_decode.h"

#include "imaging/codec/resample.h"
#include "imaging/own/jpeg_common.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

struct JpegScaledDecoder::Impl {
    // Library warnings (a truncated file, extraneous bytes) stay silent and are
    // not fatal: the decoder fills in what is missing, as every viewer does.
    JpegDecompress jpeg;
    jpeg_decompress_struct& cinfo = jpeg.cinfo;
    JpegErrorManager& err = jpeg.err;
    std::unique_ptr<ByteSource> ownSource;
    ByteSource* source = nullptr;
    bool used = false;
    ExifFacts exif;
    std::string error;

    ~Impl() { JpegDestroy(jpeg); }
};

namespace {
using Impl = JpegScaledDecoder::Impl;

// The libjpeg calls live in these small functions so that a longjmp from the
// error handler crosses no C++ object with a destructor.
bool ReadHeader(Impl* im)
{
    if (setjmp(im->err.jump))
        return false;
    JpegCreate(im->jpeg, *im->source);
    jpeg_save_markers(&im->cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&im->cinfo, TRUE);
    return true;
}

bool StartScaled(Impl* im, int scaleNum)
{
    if (setjmp(im->err.jump))
        return false;
    im->cinfo.scale_num = static_cast<unsigned>(scaleNum);
    im->cinfo.scale_denom = 8;
    // Four bytes a pixel in the resampler's own order: no shuffling per pixel.
    im->cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&im->cinfo);
    return true;
}

// Narrows the decoded columns to what the fit uses (widened by libjpeg to
// whole blocks); x and width are updated to the columns actually decoded.
bool CropColumns(Impl* im, JDIMENSION* x, JDIMENSION* width)
{
    if (setjmp(im->err.jump))
        return false;
    jpeg_crop_scanline(&im->cinfo, x, width);
    return true;
}

// Skips rows above the fit: their blocks are entropy-decoded only.
bool SkipRows(Impl* im, int rows)
{
    if (setjmp(im->err.jump))
        return false;
    jpeg_skip_scanlines(&im->cinfo, static_cast<JDIMENSION>(rows));
    return true;
}

bool ReadRows(Impl* im, JSAMPARRAY rows, int max, int* got)
{
    if (setjmp(im->err.jump))
        return false;
    *got = static_cast<int>(jpeg_read_scanlines(&im->cinfo, rows, static_cast<JDIMENSION>(max)));
    return true;
}

bool Finish(Impl* im, bool complete)
{
    if (setjmp(im->err.jump))
        return false;
    if (complete)
        jpeg_finish_decompress(&im->cinfo);
    else
        jpeg_abort_decompress(&im->cinfo);
    return true;
}

int ScaledSize(int full, int num)
{
    return static_cast<int>((static_cast<long long>(full) * num + 7) / 8);
}
} // namespace

bool LooksLikeJpeg(const std::uint8_t* head, std::size_t size)
{
    return size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

JpegScaledDecoder::JpegScaledDecoder() : impl_(std::make_unique<Impl>()) {}
JpegScaledDecoder::~JpegScaledDecoder() = default;

bool JpegScaledDecoder::Open(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        impl_ = std::make_unique<Impl>();
        impl_->error = "cannot open the file";
        return false;
    }
    auto file = std::make_unique<FileSource>(f);
    ByteSource& source = *file;
    const bool ok = Open(source);
    impl_->ownSource = std::move(file);
    return ok;
}

bool JpegScaledDecoder::Open(ByteSource& source)
{
    impl_ = std::make_unique<Impl>();
    Impl* im = impl_.get();
    im->source = &source;
    JpegPrepareErrors(im->jpeg);
    if (!ReadHeader(im)) {
        im->error = im->err.message;
        return false;
    }
    // The first APP1 segment that holds EXIF counts; others (XMP) are skipped.
    for (jpeg_saved_marker_ptr m = im->cinfo.marker_list; m; m = m->next) {
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
            im->exif = ParseExif({m->data, m->data_length});
            break;
        }
    }
    return true;
}

int JpegScaledDecoder::Width() const { return static_cast<int>(impl_->cinfo.image_width); }
int JpegScaledDecoder::Height() const { return static_cast<int>(impl_->cinfo.image_height); }
int JpegScaledDecoder::Orientation() const { return impl_->exif.orientation; }
const ExifFacts& JpegScaledDecoder::Exif() const { return impl_->exif; }
const std::string& JpegScaledDecoder::Error() const { return impl_->error; }

bool JpegScaledDecoder::RgbCapable() const
{
    const J_COLOR_SPACE cs = impl_->cinfo.jpeg_color_space;
    return cs == JCS_GRAYSCALE || cs == JCS_YCbCr || cs == JCS_RGB;
}

int JpegScaledDecoder::ChooseScale(int fullW, int fullH, const SourceWindow& window, int outW, int outH)
{
    for (int m = 1; m < 8; ++m) {
        const double fx = static_cast<double>(ScaledSize(fullW, m)) / fullW;
        const double fy = static_cast<double>(ScaledSize(fullH, m)) / fullH;
        if (window.w * fx >= outW - 1e-9 && window.h * fy >= outH - 1e-9)
            return m;
    }
    return 8;
}

bool JpegScaledDecoder::DecodeInto(const SourceWindow& window, int outW, int outH, OutputMap out)
{
    Impl* im = impl_.get();
    if (!im->jpeg.created || im->used) {
        im->error = "the decoder is not open";
        return false;
    }
    im->used = true;
    const int fullW = Width(), fullH = Height();
    const int m = ChooseScale(fullW, fullH, window, outW, outH);
    if (!StartScaled(im, m)) {
        im->error = im->err.message;
        return false;
    }
    const int fullScaledW = static_cast<int>(im->cinfo.output_width);
    const int sh = static_cast<int>(im->cinfo.output_height);
    const double fx = static_cast<double>(fullScaledW) / fullW, fy = static_cast<double>(sh) / fullH;
    SourceWindow scaled{window.x * fx, window.y * fy, window.w * fx, window.h * fy};

    const int left = std::clamp(static_cast<int>(std::floor(scaled.x + 1e-9)), 0, fullScaledW - 1);
    const int right = std::clamp(static_cast<int>(std::ceil(scaled.x + scaled.w - 1e-9)), left + 1, fullScaledW);
    if (left > 0 || right < fullScaledW) {
        JDIMENSION x = static_cast<JDIMENSION>(left), width = static_cast<JDIMENSION>(right - left);
        if (!CropColumns(im, &x, &width)) {
            im->error = im->err.message;
            return false;
        }
        scaled.x -= static_cast<double>(x);
    }
    const int sw = static_cast<int>(im->cinfo.output_width);
    StreamResampler resampler(sw, sh, scaled, outW, outH, PixelLayout::BGRX32, 0, out);
    if (resampler.FirstRow() > 0 && !SkipRows(im, resampler.FirstRow())) {
        im->error = im->err.message;
        return false;
    }

    const int batch = std::max(1, im->cinfo.rec_outbuf_height);
    const std::size_t rowBytes = static_cast<std::size_t>(sw) * 4;
    std::vector<std::uint8_t> buffer(rowBytes * batch);
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(batch));
    for (int i = 0; i < batch; ++i)
        rows[static_cast<std::size_t>(i)] = buffer.data() + rowBytes * i;

    bool ok = true;
    while (!resampler.Done() && static_cast<int>(im->cinfo.output_scanline) < sh) {
        const int y0 = static_cast<int>(im->cinfo.output_scanline);
        int got = 0;
        if (!ReadRows(im, rows.data(), batch, &got)) {
            im->error = im->err.message;
            ok = false;
            break;
        }
        if (got == 0)
            break;
        for (int i = 0; i < got; ++i)
            resampler.PushRow(y0 + i, rows[static_cast<std::size_t>(i)]);
    }
    // Rows below the fitted window need no decoding.
    const bool complete = ok && static_cast<int>(im->cinfo.output_scanline) >= sh;
    if (!Finish(im, complete) && ok) {
        im->error = im->err.message;
        ok = false;
    }
    return ok;
}
