#include "imaging/codec/heif_decode.h"

#include "imaging/codec/exif.h"
#include "imaging/codec/resample.h"
#include "imaging/own/byte_source.h"
#include "imaging/own/packed_dib.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include <libheif/heif.h>

namespace {
std::uint32_t Be32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// One ISO media box: its type and its payload (after the header).
struct Box {
    std::string_view type;
    std::span<const std::uint8_t> payload;
};

// The boxes of `data` in order; stops at the first one that does not fit.
template <typename Fn> void ForEachBox(std::span<const std::uint8_t> data, Fn&& fn)
{
    while (data.size() >= 8) {
        std::uint64_t size = Be32(data.data());
        std::size_t header = 8;
        if (size == 1) {
            if (data.size() < 16)
                return;
            size = (std::uint64_t(Be32(data.data() + 8)) << 32) | Be32(data.data() + 12);
            header = 16;
        } else if (size == 0) {
            size = data.size();
        }
        if (size < header || size > data.size())
            return;
        const std::string_view type(reinterpret_cast<const char*>(data.data() + 4), 4);
        if (!fn(Box{type, data.subspan(header, static_cast<std::size_t>(size) - header)}))
            return;
        data = data.subspan(static_cast<std::size_t>(size));
    }
}

// The payload of the first child box of `type`, empty when there is none.
std::span<const std::uint8_t> Child(std::span<const std::uint8_t> data, std::string_view type)
{
    std::span<const std::uint8_t> found;
    ForEachBox(data, [&](const Box& b) {
        if (b.type != type)
            return true;
        found = b.payload;
        return false;
    });
    return found;
}

constexpr std::string_view kHeifBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx", "hevm",
                                            "hevs", "mif1", "msf1", "avif", "avis", "MiHE", "MiHB"};

bool IsHeifBrand(const std::uint8_t* p)
{
    const std::string_view brand(reinterpret_cast<const char*>(p), 4);
    return std::find(std::begin(kHeifBrands), std::end(kHeifBrands), brand) != std::end(kHeifBrands);
}

// libheif's own initialisation, once per process; its plugins stay loaded.
void EnsureLibrary()
{
    static const bool ready = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)ready;
}

struct HandleRelease {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageRelease {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsRelease {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
using HandlePtr = std::unique_ptr<heif_image_handle, HandleRelease>;
using ImagePtr = std::unique_ptr<heif_image, ImageRelease>;

// How much of a file is read for its item properties; they precede the
// coded data in the files of phones and cameras.
constexpr std::size_t kHeadBytes = std::size_t(1) << 20;
} // namespace

bool LooksLikeHeif(std::span<const std::uint8_t> head)
{
    if (head.size() < 16 || std::memcmp(head.data() + 4, "ftyp", 4) != 0)
        return false;
    const std::size_t box = std::min<std::size_t>(Be32(head.data()), head.size());
    if (IsHeifBrand(head.data() + 8))
        return true;
    for (std::size_t at = 16; at + 4 <= box; at += 4)   // the compatible brands
        if (IsHeifBrand(head.data() + at))
            return true;
    return false;
}

bool HeifHasTransformations(std::span<const std::uint8_t> file)
{
    std::span<const std::uint8_t> meta = Child(file, "meta");
    if (meta.size() < 4)
        return false;
    const std::span<const std::uint8_t> ipco = Child(Child(meta.subspan(4), "iprp"), "ipco");
    bool found = false;
    ForEachBox(ipco, [&](const Box& b) {
        found = b.type == "irot" || b.type == "imir";
        return !found;
    });
    return found;
}

struct HeifDecoder::Impl {
    std::vector<std::uint8_t> bytes;   // libheif reads from here without a copy
    heif_context* context = nullptr;
    HandlePtr primary;
    int width = 0, height = 0;
    int orientation = 1;
    std::string error;
    Failure why = Failure::None;
    Size decoded;

    ~Impl()
    {
        primary.reset();
        if (context)
            heif_context_free(context);
    }

    bool Fail(Failure f, std::string message)
    {
        why = f;
        error = std::move(message);
        return false;
    }
    bool Fail(const heif_error& e)
    {
        switch (e.code) {
        case heif_error_Input_does_not_exist: return Fail(Failure::Unreadable, e.message);
        case heif_error_Unsupported_filetype:
        case heif_error_Unsupported_feature: return Fail(Failure::Unsupported, e.message);
        case heif_error_Memory_allocation_error: return Fail(Failure::TooLarge, e.message);
        default: return Fail(Failure::Corrupt, e.message ? e.message : "decoding failed");
        }
    }
};

namespace {
// The EXIF block of an image: HEIF stores it behind four bytes that give the
// offset of the TIFF structure after them. Empty when there is none.
std::vector<std::uint8_t> ExifBlockOf(heif_image_handle* handle)
{
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &id, 1) != 1)
        return {};
    const std::size_t size = heif_image_handle_get_metadata_size(handle, id);
    if (size < 8 || size > (std::size_t(1) << 20))
        return {};
    std::vector<std::uint8_t> block(size);
    if (heif_image_handle_get_metadata(handle, id, block.data()).code != heif_error_Ok)
        return {};
    const std::uint32_t offset = Be32(block.data());
    if (offset > size - 4)
        return {};
    block.erase(block.begin(), block.begin() + 4 + std::ptrdiff_t(offset));
    return block;
}

// libheif reads through these from a ByteSource.
std::int64_t SourcePosition(void* source) { return std::int64_t(static_cast<ByteSource*>(source)->Tell()); }
int SourceRead(void* data, std::size_t size, void* source)
{
    return static_cast<ByteSource*>(source)->Read(data, size) == size ? 0 : 1;
}
int SourceSeek(std::int64_t position, void* source)
{
    return position >= 0 && static_cast<ByteSource*>(source)->Seek(std::uint64_t(position)) ? 0 : 1;
}
heif_reader_grow_status SourceGrow(std::int64_t size, void* source)
{
    return size >= 0 && std::uint64_t(size) <= static_cast<ByteSource*>(source)->Size()
               ? heif_reader_grow_status_size_reached
               : heif_reader_grow_status_size_beyond_eof;
}
constexpr heif_reader kSourceReader{1, SourcePosition, SourceRead, SourceSeek, SourceGrow};

// libheif sizes the canvas of a tiled image from the grid's own header, which
// need not agree with the size the file declares for the image: 900 bytes
// can declare 52 x 24 and have libheif fill a 26725 x 30323 canvas, gigabytes
// and half a minute. The decode may go as far as the declared size plus room
// for coding alignment and cropped edges, and no further.
int HeifSideLimit(int width, int height)
{
    const long side = std::max(width, height);
    return int(std::min<long>(side + side / 4 + 1024, 1L << 30));
}
} // namespace

HeifDecoder::HeifDecoder() : impl_(std::make_unique<Impl>()) {}
HeifDecoder::~HeifDecoder() = default;

bool HeifDecoder::Open(const std::string& path)
{
    EnsureLibrary();
    impl_ = std::make_unique<Impl>();
    // The boxes that describe the pictures come first; libheif reads the
    // coded data itself, as it needs it, so a large file is never held whole.
    std::vector<std::uint8_t> head(kHeadBytes);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return impl_->Fail(Failure::Unreadable, "cannot open the file");
    head.resize(std::fread(head.data(), 1, head.size(), f));
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError)
        return impl_->Fail(Failure::Unreadable, "read error");
    if (!LooksLikeHeif(head))
        return impl_->Fail(Failure::Unsupported, "not a HEIF or AVIF file");
    impl_->context = heif_context_alloc();
    if (!impl_->context)
        return impl_->Fail(Failure::TooLarge, "out of memory");
    const heif_error e = heif_context_read_from_file(impl_->context, path.c_str(), nullptr);
    if (e.code != heif_error_Ok)
        return impl_->Fail(e);
    return OpenPrimary(head);
}

bool HeifDecoder::Open(std::vector<std::uint8_t> bytes)
{
    EnsureLibrary();
    impl_ = std::make_unique<Impl>();
    Impl& im = *impl_;
    im.bytes = std::move(bytes);
    if (!LooksLikeHeif(im.bytes))
        return im.Fail(Failure::Unsupported, "not a HEIF or AVIF file");
    im.context = heif_context_alloc();
    if (!im.context)
        return im.Fail(Failure::TooLarge, "out of memory");
    const heif_error e =
        heif_context_read_from_memory_without_copy(im.context, im.bytes.data(), im.bytes.size(), nullptr);
    if (e.code != heif_error_Ok)
        return im.Fail(e);
    return OpenPrimary(im.bytes);
}

bool HeifDecoder::OpenPrimary(std::span<const std::uint8_t> head)
{
    Impl& im = *impl_;
    heif_image_handle* handle = nullptr;
    const heif_error e = heif_context_get_primary_image_handle(im.context, &handle);
    if (e.code != heif_error_Ok)
        return im.Fail(e);
    im.primary.reset(handle);
    im.width = heif_image_handle_get_width(handle);
    im.height = heif_image_handle_get_height(handle);
    if (im.width <= 0 || im.height <= 0)
        return im.Fail(Failure::Corrupt, "no image size");
    if (!HeifHasTransformations(head))
        im.orientation = ParseExif(ExifBlockOf(handle)).orientation;
    return true;
}

int HeifDecoder::Width() const { return impl_->width; }
int HeifDecoder::Height() const { return impl_->height; }
int HeifDecoder::Orientation() const { return impl_->orientation; }
const std::string& HeifDecoder::Error() const { return impl_->error; }
HeifDecoder::Failure HeifDecoder::Why() const { return impl_->why; }
HeifDecoder::Size HeifDecoder::Decoded() const { return impl_->decoded; }

std::size_t HeifDecoder::ChooseImage(std::span<const Size> images, const SourceWindow& window, int outW, int outH)
{
    if (images.empty())
        return 0;
    const Size full = images[0];
    std::size_t best = 0;
    double bestArea = double(full.width) * full.height;
    for (std::size_t i = 1; i < images.size(); ++i) {
        const Size s = images[i];
        if (s.width <= 0 || s.height <= 0 || full.width <= 0 || full.height <= 0)
            continue;
        // Same shape, within one pixel of the smaller picture: a thumbnail
        // that is cut or turned differently would show something else.
        if (std::abs(double(s.width) * full.height - double(s.height) * full.width) >
            double(std::max(full.width, full.height)))
            continue;
        const double kx = double(s.width) / full.width, ky = double(s.height) / full.height;
        if (window.w * kx + 1e-6 < outW || window.h * ky + 1e-6 < outH)
            continue;
        const double area = double(s.width) * s.height;
        if (area < bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

bool HeifDecoder::DecodeInto(const SourceWindow& window, int outW, int outH, std::uint32_t background,
                             OutputMap out)
{
    Impl& im = *impl_;
    if (!im.primary)
        return im.Fail(Failure::Corrupt, im.error.empty() ? "not opened" : im.error);
    if (outW <= 0 || outH <= 0 || window.w <= 0 || window.h <= 0)
        return im.Fail(Failure::Corrupt, "empty drawing");

    std::vector<Size> sizes{{im.width, im.height}};
    std::vector<HandlePtr> thumbnails;
    const int count = heif_image_handle_get_number_of_thumbnails(im.primary.get());
    if (count > 0 && count < 64) {
        std::vector<heif_item_id> ids(static_cast<std::size_t>(count));
        const int listed = heif_image_handle_get_list_of_thumbnail_IDs(im.primary.get(), ids.data(), count);
        for (int i = 0; i < listed; ++i) {
            heif_image_handle* t = nullptr;
            if (heif_image_handle_get_thumbnail(im.primary.get(), ids[std::size_t(i)], &t).code != heif_error_Ok)
                continue;
            thumbnails.emplace_back(t);
            sizes.push_back({heif_image_handle_get_width(t), heif_image_handle_get_height(t)});
        }
    }
    std::size_t chosen = ChooseImage(sizes, window, outW, outH);
    heif_image_handle* handle = nullptr;
    ImagePtr image;
    bool alpha = false, premultiplied = false;
    std::unique_ptr<heif_decoding_options, OptionsRelease> options(heif_decoding_options_alloc());
    if (!options)
        return im.Fail(Failure::TooLarge, "out of memory");
    options->convert_hdr_to_8bit = 1;
    for (;;) {
        handle = chosen == 0 ? im.primary.get() : thumbnails[chosen - 1].get();
        const Size size = sizes[chosen];
        if (std::size_t(size.width) * std::size_t(size.height) * 4 > kMaxDibPixelBytes)
            return im.Fail(Failure::TooLarge, "image too large");
        heif_context_set_maximum_image_size_limit(im.context, HeifSideLimit(size.width, size.height));
        alpha = heif_image_handle_has_alpha_channel(handle) != 0;
        premultiplied = alpha && heif_image_handle_is_premultiplied_alpha(handle) != 0;
        heif_image* decoded = nullptr;
        const heif_error e = heif_decode_image(handle, &decoded, heif_colorspace_RGB,
                                               alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                               options.get());
        image.reset(decoded);
        if (e.code == heif_error_Ok)
            break;
        // A broken thumbnail does not hide a good photo.
        if (chosen == 0)
            return im.Fail(e);
        chosen = 0;
    }
    const heif_image* decoded = image.get();
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int iw = heif_image_get_width(decoded, heif_channel_interleaved);
    const int ih = heif_image_get_height(decoded, heif_channel_interleaved);
    const int bits = heif_image_get_bits_per_pixel(decoded, heif_channel_interleaved);
    if (!plane || iw <= 0 || ih <= 0 || bits != (alpha ? 32 : 24) || stride < iw * (alpha ? 4 : 3))
        return im.Fail(Failure::Corrupt, "unexpected decoded image");
    if (std::size_t(iw) * std::size_t(ih) * 4 > kMaxDibPixelBytes)
        return im.Fail(Failure::TooLarge, "image too large");

    // The window in pixels of the decoded picture, which may be a thumbnail.
    const double kx = double(iw) / im.width, ky = double(ih) / im.height;
    const SourceWindow scaled{window.x * kx, window.y * ky, window.w * kx, window.h * ky};
    const PixelLayout layout =
        !alpha ? PixelLayout::RGB24 : premultiplied ? PixelLayout::BGRA32Premultiplied : PixelLayout::BGRA32;
    StreamResampler resampler(iw, ih, scaled, outW, outH, layout, background, out);
    std::vector<std::uint8_t> swapped(alpha ? std::size_t(iw) * 4 : 0);
    for (int y = std::max(0, resampler.FirstRow()); y < std::min(ih, resampler.EndRow()) && !resampler.Done(); ++y) {
        const std::uint8_t* row = plane + std::ptrdiff_t(y) * stride;
        if (alpha) {
            // libheif gives R, G, B, A; the resampler takes B, G, R, A.
            for (std::size_t x = 0; x < std::size_t(iw); ++x) {
                swapped[4 * x] = row[4 * x + 2];
                swapped[4 * x + 1] = row[4 * x + 1];
                swapped[4 * x + 2] = row[4 * x];
                swapped[4 * x + 3] = row[4 * x + 3];
            }
            row = swapped.data();
        }
        resampler.PushRow(y, row);
    }
    im.decoded = {iw, ih};
    return true;
}

HeifPicture DecodeHeif(std::span<const std::uint8_t> bytes, int edge)
{
    HeifPicture picture;
    if (edge <= 0) {
        picture.error = "no size wanted";
        return picture;
    }
    HeifDecoder decoder;
    if (!decoder.Open(std::vector<std::uint8_t>(bytes.begin(), bytes.end()))) {
        picture.error = decoder.Error();
        return picture;
    }
    const int orientation = decoder.Orientation();
    const int sw = decoder.Width(), sh = decoder.Height();
    const bool swap = OrientationSwapsAxes(orientation);
    const int uw = swap ? sh : sw, uh = swap ? sw : sh;
    int ow = uw, oh = uh;
    if (uw > edge || uh > edge) {
        const double k = double(edge) / std::max(uw, uh);
        ow = std::clamp(int(std::lround(uw * k)), 1, edge);
        oh = std::clamp(int(std::lround(uh * k)), 1, edge);
    }
    try {
        picture.pixels.assign(std::size_t(ow) * std::size_t(oh), 0xFF000000u);
    } catch (const std::bad_alloc&) {
        picture.error = "out of memory";
        return picture;
    }
    const SourceWindow stored = UprightToStored({0, 0, double(uw), double(uh)}, sw, sh, orientation);
    const int outW = swap ? oh : ow, outH = swap ? ow : oh;
    const OutputMap out = OrientedOutput(picture.pixels.data(), ow, 0, 0, outW, outH, orientation);
    if (!decoder.DecodeInto(stored, outW, outH, 0, out)) {
        picture.pixels.clear();
        picture.error = decoder.Error();
        return picture;
    }
    picture.width = ow;
    picture.height = oh;
    return picture;
}

ExifFacts HeifExif(ByteSource& source)
{
    EnsureLibrary();
    if (!source.Seek(0))
        return {};
    heif_context* context = heif_context_alloc();
    if (!context)
        return {};
    ExifFacts facts;
    heif_image_handle* handle = nullptr;
    if (heif_context_read_from_reader(context, &kSourceReader, &source, nullptr).code == heif_error_Ok &&
        heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok) {
        facts = ParseExif(ExifBlockOf(handle));
        heif_image_handle_release(handle);
    }
    heif_context_free(context);
    return facts;
}
