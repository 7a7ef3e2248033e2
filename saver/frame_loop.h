#pragma once
// The 40 ms tick of a show window: the first tick initialises, later ticks
// draw one frame each unless the window is busy, exiting or its monitor is
// off, and every 20th counted tick supervises the music.
#include "saver/tick_count.h"

#include <functional>

class FrameLoop {
public:
    static constexpr int kTimerPeriod = 40;
    static constexpr int kFpsLogEvery = 100;
    static constexpr int kMusicEvery = 20;

    struct Hooks {
        std::function<void()> scrInit;
        std::function<bool()> rendererCreated;
        std::function<void()> renderFrame;
        std::function<bool()> playsMusic;   // not bNoSounds and the sound list not empty
        std::function<void()> superviseMusic;
    };
    // What stops frames, read at each tick.
    struct State {
        bool exiting = false;
        bool busy = false;
        bool monitorOff = false;
    };

    explicit FrameLoop(Hooks hooks) : hooks_(std::move(hooks)) {}

    void Tick(const State& state, TickCount now);
    // The renderer has just been started.
    void StartFrameClock(TickCount now)
    {
        frames_ = 0;
        frameClockStart_ = now;
    }

    bool Initialised() const { return initialised_; }
    // ScrInit marks this itself, so that a nested tick during its message box returns.
    void MarkInitialised() { initialised_ = true; }
    int Frames() const { return frames_; }
    bool InTick() const { return inTick_; }

private:
    Hooks hooks_;
    bool initialised_ = false;
    bool inTick_ = false;
    int frames_ = 0;
    TickCount frameClockStart_ = 0;
    int musicTicks_ = 0;
};
