#include "saver/frame_loop.h"

#include "app/log.h"

void FrameLoop::Tick(const State& state, TickCount now)
{
    // Message boxes pump events: a tick inside a tick returns at once.
    if (inTick_ || state.exiting)
        return;
    inTick_ = true;
    if (!initialised_) {
        // The first tick only initialises; drawing starts with the next one.
        if (hooks_.scrInit)
            hooks_.scrInit();
        initialised_ = true;
        inTick_ = false;
        return;
    }
    if (!state.busy && !state.monitorOff && hooks_.rendererCreated && hooks_.rendererCreated()) {
        ++frames_;
        if (frames_ % kFpsLogEvery == 0 && LogEnabled()) {
            TickCount elapsed = now - frameClockStart_;
            double fps = elapsed ? frames_ * 1000.0 / elapsed : 0.0;
            std::string line = StrFormat("%f frames per second", fps);
            Log("%s", line.c_str());
        }
        if (hooks_.renderFrame)
            hooks_.renderFrame();
    }
    if (hooks_.playsMusic && hooks_.playsMusic()) {
        ++musicTicks_;
        if (musicTicks_ % kMusicEvery == 0 && hooks_.superviseMusic)
            hooks_.superviseMusic();
    }
    inTick_ = false;
}
