#include "imaging/own/jpeg_common.h"

#include <jerror.h>

namespace {

void OutputMessage(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    if (!err->report)
        return;
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    err->report(text);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    if (err->report)
        err->report(err->message);
    std::longjmp(err->jump, 1);
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* s = reinterpret_cast<JpegSourceManager*>(cinfo->src);
    std::size_t n = s->src->Read(s->buffer, JpegSourceManager::kBufferBytes);
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
    auto* s = reinterpret_cast<JpegSourceManager*>(cinfo->src);
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

// Called as the library reads the file, also while it takes in the scans of
// a progressive file, so the scan limit holds before any output is made.
void Monitor(j_common_ptr cinfo)
{
    auto* m = reinterpret_cast<JpegMonitor*>(cinfo->progress);
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
        std::snprintf(m->err->message, sizeof m->err->message, "too many scans (more than %d)", kMaxJpegScans);
        if (m->err->report)
            m->err->report(m->err->message);
        std::longjmp(m->err->jump, 1);
    }
    if (m->progress)
        m->progress(cinfo, m->context);
}

} // namespace

void JpegPrepareErrors(JpegDecompress& jpeg)
{
    jpeg.cinfo.err = jpeg_std_error(&jpeg.err.pub);
    jpeg.err.pub.error_exit = ErrorExit;
    jpeg.err.pub.output_message = OutputMessage;
    jpeg.err.message[0] = '\0';
}

void JpegCreate(JpegDecompress& jpeg, ByteSource& src)
{
    jpeg_decompress_struct& cinfo = jpeg.cinfo;
    // Marked first: destroying a zeroed record that a failed creation left is harmless.
    jpeg.created = true;
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxJpegMemory;

    jpeg.source.src = &src;
    jpeg.source.startOfFile = true;
    jpeg.source.pub.init_source = InitSource;
    jpeg.source.pub.fill_input_buffer = FillInputBuffer;
    jpeg.source.pub.skip_input_data = SkipInputData;
    jpeg.source.pub.resync_to_restart = jpeg_resync_to_restart;
    jpeg.source.pub.term_source = TermSource;
    jpeg.source.pub.bytes_in_buffer = 0;
    jpeg.source.pub.next_input_byte = nullptr;
    cinfo.src = &jpeg.source.pub;

    jpeg.monitor.pub.progress_monitor = Monitor;
    jpeg.monitor.err = &jpeg.err;
    cinfo.progress = &jpeg.monitor.pub;
}

void JpegDestroy(JpegDecompress& jpeg)
{
    if (jpeg.created)
        jpeg_destroy_decompress(&jpeg.cinfo);
    jpeg.created = false;
}
