#include "imaging/own/reader_trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {
std::atomic<ReaderTraceSink> g_sink{nullptr};
} // namespace

void SetReaderTraceSink(ReaderTraceSink sink) { g_sink.store(sink); }

void ReaderTrace(const char* format, ...)
{
    ReaderTraceSink sink = g_sink.load();
    if (!sink)
        return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    sink(text);
}
