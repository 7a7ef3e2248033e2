#pragma once
// A private connection to the X server for what Qt does not offer: windows of
// other programs (the host of a preview), the display's power level and the
// compositor hint. Requests naming a window that is gone fail quietly.
#include "app/rect.h"

#include <optional>

struct _XDisplay;

class X11Link {
public:
    X11Link();
    ~X11Link();
    X11Link(const X11Link&) = delete;
    X11Link& operator=(const X11Link&) = delete;

    bool Connected() const { return display_ != nullptr; }
    // Client area of `window` (0, 0, width, height), or nothing when it names no window.
    std::optional<Rect> ClientRect(unsigned long window);
    unsigned long RootWindowId();
    // The DPMS power level: 0 on, 1 standby, 2 suspend, 3 off; 0 when DPMS is unavailable or disabled.
    int DpmsLevel();
    // Asks a compositor to leave a full-screen window alone (or no longer).
    void SetBypassCompositor(unsigned long window, bool bypass);

private:
    _XDisplay* display_ = nullptr;
};
