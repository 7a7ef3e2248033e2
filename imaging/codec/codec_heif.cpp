#include "imaging/codec/codec_heif.h"

#include "imaging/codec/heif_decode.h"

namespace {
int StatusOf(HeifDecoder::Failure why)
{
    switch (why) {
    case HeifDecoder::Failure::None: return kCodecOk;
    case HeifDecoder::Failure::Unreadable: return kCodecFileNotFound;
    case HeifDecoder::Failure::Unsupported: return kCodecUnknownImageFormat;
    case HeifDecoder::Failure::TooLarge: return kCodecOutOfMemory;
    case HeifDecoder::Failure::Corrupt: break;
    }
    return kCodecGenericError;
}

class HeifImage final : public CodecImage {
public:
    HeifImage(std::unique_ptr<HeifDecoder> decoder, bool autoRotate) : decoder_(std::move(decoder))
    {
        // The file's own turn is always applied (it belongs to the picture,
        // like its crop); an EXIF note only with AutoRotate.
        orientation_ = autoRotate ? decoder_->Orientation() : 1;
        const bool swap = OrientationSwapsAxes(orientation_);
        width_ = swap ? decoder_->Height() : decoder_->Width();
        height_ = swap ? decoder_->Width() : decoder_->Height();
    }
    const char* Decoder() const override { return "libheif"; }

    int Draw(DeviceBitmap& target, const FitRect& dest, const FitRect& source, std::uint32_t background,
             std::string& reason) override
    {
        if (target.indexed || dest.w <= 0 || dest.h <= 0 || dest.x < 0 || dest.y < 0 ||
            dest.x + dest.w > target.width || dest.y + dest.h > target.height ||
            target.pixels.size() < std::size_t(target.width) * std::size_t(target.height) || source.w <= 0 ||
            source.h <= 0)
            return kCodecInvalidParameter;
        const int sw = decoder_->Width(), sh = decoder_->Height();
        const bool swap = OrientationSwapsAxes(orientation_);
        const SourceWindow stored = UprightToStored(
            {double(source.x), double(source.y), double(source.w), double(source.h)}, sw, sh, orientation_);
        const int outW = swap ? dest.h : dest.w, outH = swap ? dest.w : dest.h;
        const OutputMap out =
            OrientedOutput(target.pixels.data(), target.width, dest.x, dest.y, outW, outH, orientation_);
        if (decoder_->DecodeInto(stored, outW, outH, background, out))
            return kCodecOk;
        reason = decoder_->Error();
        return StatusOf(decoder_->Why());
    }

private:
    std::unique_ptr<HeifDecoder> decoder_;
    int orientation_ = 1;
};
} // namespace

std::unique_ptr<CodecImage> OpenHeifImage(const std::string& path, bool autoRotate, int& status,
                                          std::string& reason)
{
    auto decoder = std::make_unique<HeifDecoder>();
    if (!decoder->Open(path)) {
        status = StatusOf(decoder->Why());
        reason = decoder->Error();
        return nullptr;
    }
    status = kCodecOk;
    return std::make_unique<HeifImage>(std::move(decoder), autoRotate);
}
