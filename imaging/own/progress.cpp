#include "imaging/own/progress.h"


namespace {
// Used only under the image-list lock or on the painting thread.
ProgressFn g_callback = nullptr;
int g_total = 1;
int g_last = 0;
} // namespace

void SetProgressCallback(ProgressFn callback) { g_callback = callback; }
ProgressFn GetProgressCallback() { return g_callback; }

void ProgressBegin(const char* text, int total, int kind)
{
    if (!g_callback)
        return;
    g_total = total == 0 ? 1 : total;
    g_last = 0;
    g_callback(0, 0, text, kind);
}

void ProgressStep(int done)
{
    if (!g_callback)
        return;
    int percent = static_cast<int>(static_cast<long long>(done) * 100 / g_total);
    if (percent - g_last > 4) {
        g_last = percent;
        g_callback(1, percent, nullptr, 0);
    }
}

void ProgressEnd()
{
    if (g_callback)
        g_callback(2, 0, nullptr, 0);
}
