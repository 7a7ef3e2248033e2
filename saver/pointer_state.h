#pragma once
// The pointer hidden by a show window, counted like the system's display
// counter: every Hide is matched by exactly one Show.
#include <functional>

class PointerState {
public:
    PointerState(std::function<void()> hide, std::function<void()> show)
        : hide_(std::move(hide)), show_(std::move(show)) {}

    // Hides the pointer once; a second call does nothing.
    void Hide()
    {
        if (hidden_)
            return;
        hidden_ = true;
        hide_();
    }
    // Shows it again if this window hid it.
    void Show()
    {
        if (!hidden_)
            return;
        hidden_ = false;
        show_();
    }
    bool Hidden() const { return hidden_; }

private:
    std::function<void()> hide_;
    std::function<void()> show_;
    bool hidden_ = false;
};
