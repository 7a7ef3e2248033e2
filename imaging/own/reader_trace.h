#pragma once
// The image readers' trace hook. Their diagnostic texts are not log lines: by
// default they are formatted nowhere and dropped. A sink (tests) sees each text.
using ReaderTraceSink = void (*)(const char* text);

// Installs the sink; none (the default) discards every text.
void SetReaderTraceSink(ReaderTraceSink sink);

// printf-style; formats only when a sink is installed.
void ReaderTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
