#include "imaging/codec/codec_image.h"

#include "imaging/codec/codec_heif.h"
#include "imaging/codec/heif_decode.h"
#include "imaging/codec/jpeg_scaled_decode.h"
#include "imaging/codec/photo_exif.h"
#include "imaging/codec/resample.h"
#include "imaging/codec/webp_exif.h"
#include "imaging/own/packed_dib.h"
#include "imaging/own/pixel_claim.h"

#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>
#include <QString>

#include <algorithm>
#include <cstdio>

namespace {
bool DrawableInto(const DeviceBitmap& target, const FitRect& dest)
{
    return !target.indexed && dest.w > 0 && dest.h > 0 && dest.x >= 0 && dest.y >= 0 &&
           dest.x + dest.w <= target.width && dest.y + dest.h <= target.height &&
           target.pixels.size() >= static_cast<std::size_t>(target.width) * target.height;
}

SourceWindow Window(const FitRect& r) { return {double(r.x), double(r.y), double(r.w), double(r.h)}; }

class JpegImage final : public CodecImage {
public:
    JpegImage(std::string path, std::unique_ptr<JpegScaledDecoder> decoder, bool autoRotate)
        : path_(std::move(path)), decoder_(std::move(decoder))
    {
        orientation_ = autoRotate ? decoder_->Orientation() : 1;
        const bool swap = OrientationSwapsAxes(orientation_);
        width_ = swap ? decoder_->Height() : decoder_->Width();
        height_ = swap ? decoder_->Width() : decoder_->Height();
    }
    const char* Decoder() const override { return "libjpeg"; }

    int Draw(DeviceBitmap& target, const FitRect& dest, const FitRect& source, std::uint32_t,
             std::string& reason) override
    {
        if (!DrawableInto(target, dest) || source.w <= 0 || source.h <= 0)
            return kCodecInvalidParameter;
        if (!decoder_) {   // a second drawing decodes the file anew
            decoder_ = std::make_unique<JpegScaledDecoder>();
            if (!decoder_->Open(path_)) {
                reason = decoder_->Error();
                decoder_.reset();
                return kCodecGenericError;
            }
        }
        const int sw = decoder_->Width(), sh = decoder_->Height();
        const bool swap = OrientationSwapsAxes(orientation_);
        const SourceWindow stored = UprightToStored(Window(source), sw, sh, orientation_);
        const int outW = swap ? dest.h : dest.w, outH = swap ? dest.w : dest.h;
        const OutputMap out =
            OrientedOutput(target.pixels.data(), target.width, dest.x, dest.y, outW, outH, orientation_);
        const bool ok = decoder_->DecodeInto(stored, outW, outH, out);
        if (!ok)
            reason = decoder_->Error();
        decoder_.reset();
        return ok ? kCodecOk : kCodecGenericError;
    }

private:
    std::string path_;
    std::unique_ptr<JpegScaledDecoder> decoder_;
    int orientation_ = 1;
};

class QtImage final : public CodecImage {
public:
    // `orientation` is a turn Qt's reader left undone (WebP's EXIF).
    explicit QtImage(QImage image, int orientation = 1) : image_(std::move(image)), orientation_(orientation)
    {
        const bool swap = OrientationSwapsAxes(orientation_);
        width_ = swap ? image_.height() : image_.width();
        height_ = swap ? image_.width() : image_.height();
    }
    const char* Decoder() const override { return "Qt"; }

    int Draw(DeviceBitmap& target, const FitRect& dest, const FitRect& source, std::uint32_t background,
             std::string&) override
    {
        if (!DrawableInto(target, dest) || source.w <= 0 || source.h <= 0)
            return kCodecInvalidParameter;
        PixelLayout layout;
        switch (image_.format()) {
        case QImage::Format_RGB32: layout = PixelLayout::BGRX32; break;
        case QImage::Format_ARGB32: layout = PixelLayout::BGRA32; break;
        case QImage::Format_ARGB32_Premultiplied: layout = PixelLayout::BGRA32Premultiplied; break;
        case QImage::Format_RGB888: layout = PixelLayout::RGB24; break;
        default:
            // Palette, grey and deep formats: one conversion, in place where Qt can.
            image_.convertTo(image_.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                      : QImage::Format_RGB32);
            if (image_.isNull())
                return kCodecOutOfMemory;
            layout = image_.hasAlphaChannel() ? PixelLayout::BGRA32Premultiplied : PixelLayout::BGRX32;
            break;
        }
        const int sw = image_.width(), sh = image_.height();
        const bool swap = OrientationSwapsAxes(orientation_);
        const int outW = swap ? dest.h : dest.w, outH = swap ? dest.w : dest.h;
        const OutputMap out =
            OrientedOutput(target.pixels.data(), target.width, dest.x, dest.y, outW, outH, orientation_);
        StreamResampler resampler(sw, sh, UprightToStored(Window(source), sw, sh, orientation_), outW, outH,
                                  layout, background, out);
        const QImage& image = image_;   // constScanLine: no detach
        for (int y = resampler.FirstRow(); y < resampler.EndRow() && !resampler.Done(); ++y)
            resampler.PushRow(y, image.constScanLine(y));
        return kCodecOk;
    }

private:
    QImage image_;
    int orientation_ = 1;
};

int StatusOf(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::FileNotFoundError: return kCodecFileNotFound;
    case QImageReader::UnsupportedFormatError: return kCodecUnknownImageFormat;
    default: return kCodecGenericError;
    }
}
} // namespace

std::unique_ptr<CodecImage> CodecImage::Open(const std::string& path, bool autoRotate, int& status,
                                             std::string& reason)
{
    status = kCodecOk;
    std::uint8_t head[64] = {};
    std::size_t got = 0;
    std::uint64_t fileSize = 0;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        got = std::fread(head, 1, sizeof head, f);
        if (std::fseek(f, 0, SEEK_END) == 0)
            fileSize = static_cast<std::uint64_t>(std::max(0L, std::ftell(f)));
        std::fclose(f);
    } else {
        status = kCodecFileNotFound;
        reason = "cannot open the file";
        return nullptr;
    }
    if (LooksLikeJpeg(head, got)) {
        auto decoder = std::make_unique<JpegScaledDecoder>();
        if (decoder->Open(path) && decoder->Width() > 0 && decoder->Height() > 0) {
            if (decoder->RgbCapable())
                return std::make_unique<JpegImage>(path, std::move(decoder), autoRotate);
            // CMYK and YCCK files go to Qt's reader, which converts them.
        } else {
            status = kCodecGenericError;
            reason = decoder->Error();
            return nullptr;
        }
    }
    if (LooksLikeHeif({head, got}))
        return OpenHeifImage(path, autoRotate, status, reason);
    // Qt's reader sets the whole image aside before it reads a pixel.
    if (std::string problem = BmpClaimProblem({head, got}, fileSize); !problem.empty()) {
        status = kCodecOutOfMemory;
        reason = problem;
        return nullptr;
    }
    QImageReader reader(QString::fromLocal8Bit(path.c_str()));
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(autoRotate);
    // Qt refuses images above 128 MB by default; a 50 MP PNG is larger.
    reader.setAllocationLimit(static_cast<int>(kMaxDibPixelBytes >> 20));
    QImage image = reader.read();
    if (image.isNull()) {
        status = StatusOf(reader.error());
        reason = reader.errorString().toStdString();
        return nullptr;
    }
    // Qt's WebP reader leaves the EXIF turn undone; one that does it itself
    // says so, and then it is not done twice.
    const bool turnedByQt = reader.supportsOption(QImageIOHandler::ImageTransformation);
    const int orientation =
        autoRotate && !turnedByQt && LooksLikeWebp(head, got) ? ReadPhotoExif(path).orientation : 1;
    return std::make_unique<QtImage>(std::move(image), orientation);
}
