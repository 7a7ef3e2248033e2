// A BMP file read by DibRead, then converted to a device bitmap and back. The
// first input byte chooses the display depth, so that the palette-display
// paths (palette from the table, quantiser, error diffusion) run as well.
#include "fuzz_reader_support.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/dib_from_bitmap.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    SetDisplayDepth(data[0] <= 1 ? 1 : data[0] <= 4 ? 4 : data[0] <= 8 ? 8 : 24);
    ImageReadRecord record;
    if (DibReadBytes({data + 1, size - 1}, record) != 0)
        return 0;
    CBitmapEx image;
    image.SetDib(std::move(record.dib));
    if (image.DibToBitmap() && image.bitmap) {
        const DeviceBitmap& b = *image.bitmap;
        const std::size_t count = static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height);
        if (b.width != image.width || b.height != image.height ||
            (b.indexed ? b.indices.size() : b.pixels.size()) != count)
            std::abort();
        DibFromBitmap(b, image.palette.get(), 32, true);
    }
    return 0;
}
