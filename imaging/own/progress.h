#pragma once
// The process-wide progress callback that the readers and the quantiser report
// to. None is set by default; a reader installs the one it is given for the
// length of one call.
using ProgressFn = void (*)(int phase, int value, const char* text, int kind);

enum ProgressKind : int {
    PROGRESS_READING = 1,
    PROGRESS_HISTOGRAM = 3,
    PROGRESS_PALETTE = 4,
    PROGRESS_IMAGE = 5,
};

void SetProgressCallback(ProgressFn callback);
ProgressFn GetProgressCallback();

// Begin: phase 0 with the text and kind; a total of 0 counts as 1.
void ProgressBegin(const char* text, int total, int kind);
// Step: phase 1 with the percentage, reported only when it is more than 4 above the last one.
void ProgressStep(int done);
// End: phase 2.
void ProgressEnd();

// Installs a callback for one scope and removes it afterwards.
class ScopedProgress {
public:
    explicit ScopedProgress(ProgressFn callback) { SetProgressCallback(callback); }
    ~ScopedProgress() { SetProgressCallback(nullptr); }
    ScopedProgress(const ScopedProgress&) = delete;
    ScopedProgress& operator=(const ScopedProgress&) = delete;
};
