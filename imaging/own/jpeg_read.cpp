// The JPEG reader: libjpeg (release 6 interface) decodes to 8-bit RGB or grey,
// and the rows go bottom-up into a packed DIB (24 bits, or 8 bits with a grey
// table). Library errors come back through setjmp/longjmp; all decoding state
// lives in one heap record per call, so the reader is reentrant.
#include "imaging/own/byte_source.h"
#include "imaging/own/image_read.h"
#include "imaging/own/reader_trace.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

namespace {

constexpr std::size_t kInputBytes = 4096;
// A progressive file may split itself into endless tiny scans, each costing a
// pass over the whole image; no encoder writes anywhere near this many.
constexpr int kMaxScans = 1000;

struct ErrorManager {
    jpeg_error_mgr pub; // first: libjpeg hands back its address
    std::jmp_buf recover;
};

struct SourceManager {
    jpeg_source_mgr pub; // first, as above
    ByteSource* src;
    bool startOfFile;
    JOCTET buffer[kInputBytes];
};

struct ProgressManager {
    jpeg_progress_mgr pub; // first, as above
    ErrorManager* err;
    bool begun;
};

// Everything the recovery path releases. Allocated before the recovery point
// is set, so a jump back destroys nothing it skips.
struct Job {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    SourceManager source{};
    ProgressManager progress{};
    PackedDib dib;
};

void OutputMessage(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    ReaderTrace("JpegRead Error: %s", text);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->recover, 1);
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* s = reinterpret_cast<SourceManager*>(cinfo->src);
    std::size_t n = s->src->Read(s->buffer, kInputBytes);
    if (n == 0) {
        if (s->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A truncated file ends as if its end marker were there; the library warns.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        s->buffer[0] = 0xFF;
        s->buffer[1] = JPEG_EOI;
        n = 2;
    }
    s->pub.next_input_byte = s->buffer;
    s->pub.bytes_in_buffer = n;
    s->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    auto* s = reinterpret_cast<SourceManager*>(cinfo->src);
    if (count <= 0)
        return;
    auto n = static_cast<std::size_t>(count);
    if (n <= s->pub.bytes_in_buffer) {
        s->pub.next_input_byte += n;
        s->pub.bytes_in_buffer -= n;
        return;
    }
    // Seek over the rest rather than refilling for it.
    s->src->Seek(s->src->Tell() + (n - s->pub.bytes_in_buffer));
    s->pub.bytes_in_buffer = 0;
}

void Monitor(j_common_ptr cinfo)
{
    auto* p = reinterpret_cast<ProgressManager*>(cinfo->progress);
    long long unit = p->pub.pass_limit;
    if (!p->begun) {
        long long total = unit * p->pub.total_passes;
        ProgressBegin("", total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(total), PROGRESS_READING);
        p->begun = true;
    } else {
        long long done = unit * p->pub.completed_passes + p->pub.pass_counter;
        ProgressStep(done > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(done));
    }
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (cinfo->is_decompressor && d->input_scan_number > kMaxScans) {
        ReaderTrace("JpegRead Error: %s", "too many scans");
        std::longjmp(p->err->recover, 1);
    }
}

int Abandon(Job& job)
{
    jpeg_destroy_decompress(&job.cinfo);
    job.dib.Reset();
    if (job.progress.begun)
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
    jpeg_decompress_struct& cinfo = job->cinfo;

    cinfo.err = jpeg_std_error(&job->err.pub);
    job->err.pub.error_exit = ErrorExit;
    job->err.pub.output_message = OutputMessage;
    // From here on only trivially destructible locals: a library error jumps back.
    if (setjmp(job->err.recover))
        return Abandon(*job);

    jpeg_create_decompress(&cinfo);
    // Bounds the library's whole-image buffers (progressive files); past it the
    // library reports an error instead of allocating.
    cinfo.mem->max_memory_to_use = static_cast<long>(2 * kMaxDibPixelBytes);

    job->source.src = &src;
    job->source.startOfFile = true;
    job->source.pub.init_source = InitSource;
    job->source.pub.fill_input_buffer = FillInputBuffer;
    job->source.pub.skip_input_data = SkipInputData;
    job->source.pub.resync_to_restart = jpeg_resync_to_restart;
    job->source.pub.term_source = TermSource;
    cinfo.src = &job->source.pub;

    job->progress.pub.progress_monitor = Monitor;
    job->progress.err = &job->err;
    cinfo.progress = &job->progress.pub;

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
    jpeg_destroy_decompress(&cinfo);
    if (job->progress.begun)
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
