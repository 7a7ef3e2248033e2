// The JPEG reader: libjpeg (release 6 interface) decodes to 8-bit RGB or grey,
// and the rows go bottom-up into a packed DIB (24 bits, or 8 bits with a grey
// table). Library errors come back through setjmp/longjmp; all decoding state
// lives in one heap record per call, so the reader is reentrant.
#include "imaging/own/byte_source.h"
#include "imaging/own/image_read.h"
#include "imaging/own/jpeg_common.h"
#include "imaging/own/reader_trace.h"

#include <algorithm>
#include <new>

namespace {

// Everything the recovery path releases. Allocated before the recovery point
// is set, so a jump back destroys nothing it skips.
struct Job {
    JpegDecompress jpeg;
    bool progressBegun = false;
    PackedDib dib;
};

void Report(const char* text) { ReaderTrace("JpegRead Error: %s", text); }

void Progress(j_common_ptr cinfo, void* context)
{
    auto* job = static_cast<Job*>(context);
    const jpeg_progress_mgr& p = *cinfo->progress;
    long long unit = p.pass_limit;
    if (!job->progressBegun) {
        long long total = unit * p.total_passes;
        ProgressBegin("", total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total), PROGRESS_READING);
        job->progressBegun = true;
    } else {
        long long done = unit * p.completed_passes + p.pass_counter;
        ProgressStep(done > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(done));
    }
}

int Abandon(Job& job)
{
    JpegDestroy(job.jpeg);
    job.dib.Reset();
    if (job.progressBegun)
        ProgressEnd();
    return READ_JPEG_FAILED;
}

int Decode(ByteSource& src, ImageReadRecord& record)
{
    std::unique_ptr<Job> owner;
    try {
        owner = std::make_unique<Job>();
    } catch (const std::bad_alloc&) {
        return READ_JPEG_FAILED;
    }
    Job* const job = owner.get();
    jpeg_decompress_struct& cinfo = job->jpeg.cinfo;

    JpegPrepareErrors(job->jpeg);
    job->jpeg.err.report = Report;
    // From here on only trivially destructible locals: a library error jumps back.
    if (setjmp(job->jpeg.err.jump))
        return Abandon(*job);

    JpegCreate(job->jpeg, src);
    job->jpeg.monitor.progress = Progress;
    job->jpeg.monitor.context = job;

    jpeg_read_header(&cinfo, TRUE);
    if (record.options & JPEG_READ_FAST) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }
    if (record.options & JPEG_READ_GREY)
        cinfo.out_color_space = JCS_GRAYSCALE;
    jpeg_calc_output_dimensions(&cinfo);

    int depth;
    if (cinfo.out_color_space == JCS_GRAYSCALE) {
        depth = 8;
    } else if (cinfo.out_color_space == JCS_RGB && cinfo.out_color_components == 3) {
        depth = 24;
    } else {
        ReaderTrace("JpegRead: Unsupported Color Space 0x%x", static_cast<unsigned>(cinfo.out_color_space));
        return Abandon(*job);
    }

    const auto width = static_cast<int>(cinfo.output_width);
    const auto height = static_cast<int>(cinfo.output_height);
    // Sized before decoding starts, so an absurd header costs nothing.
    const std::int64_t pixelBytes = DibRowBytes(width, depth) * height;
    if (pixelBytes <= static_cast<std::int64_t>(kMaxDibPixelBytes)) {
        jpeg_start_decompress(&cinfo);
        job->dib = CreateDib(width, height, depth, false);
    }
    if (!job->dib) {
        ReaderTrace("JpegRead: InitBmp/InitDib Error %d", READ_NO_MEMORY);
        ReaderTrace("          width=%d, height=%d", width, height);
        ReaderTrace("          bitcount=%d, ncol=%d", depth, depth == 8 ? 256 : 0);
        return Abandon(*job);
    }
    std::uint8_t* pixels = job->dib.data() + job->dib.PixelOffset();
    if (depth == 8) {
        for (int i = 0; i < 256; ++i) {
            std::uint8_t* e = job->dib.data() + 40 + 4 * i;
            e[0] = e[1] = e[2] = static_cast<std::uint8_t>(i);
        }
    }

    const auto stride = static_cast<std::size_t>(DibRowBytes(width, depth));
    const auto components = static_cast<std::size_t>(cinfo.output_components);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 static_cast<JDIMENSION>(width * components), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const auto y = static_cast<std::size_t>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1)
            return Abandon(*job);
        std::uint8_t* dst = pixels + (static_cast<std::size_t>(height) - 1 - y) * stride;
        const JSAMPLE* in = row[0];
        if (components == 1) {
            std::copy(in, in + width, dst);
        } else {
            for (int x = 0; x < width; ++x, in += 3, dst += 3) {
                dst[0] = in[2];
                dst[1] = in[1];
                dst[2] = in[0];
            }
        }
    }

    jpeg_finish_decompress(&cinfo);
    JpegDestroy(job->jpeg);
    if (job->progressBegun)
        ProgressEnd();
    record.dib = std::move(job->dib);
    return READ_OK;
}

} // namespace

int JpegRead(const char* fileName, ImageReadRecord& record)
{
    record.dib.Reset();
    ScopedProgress progress(record.progress);
    std::unique_ptr<FileSource> file = FileSource::Open(fileName);
    if (!file)
        return READ_CANNOT_OPEN;
    return Decode(*file, record);
}

int JpegReadBytes(std::span<const std::uint8_t> bytes, ImageReadRecord& record)
{
    record.dib.Reset();
    ScopedProgress progress(record.progress);
    MemorySource src(bytes);
    return Decode(src, record);
}
