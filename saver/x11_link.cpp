#include "saver/x11_link.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace {
// The default Xlib handler ends the process on BadWindow.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

class QuietErrors {
public:
    explicit QuietErrors(Display* d) : display_(d), previous_(XSetErrorHandler(IgnoreXErrors)) {}
    ~QuietErrors()
    {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }

private:
    Display* display_;
    XErrorHandler previous_;
};
} // namespace

X11Link::X11Link() : display_(XOpenDisplay(nullptr)) {}

X11Link::~X11Link()
{
    if (display_)
        XCloseDisplay(display_);
}

std::optional<Rect> X11Link::ClientRect(unsigned long window)
{
    if (!display_ || window == 0)
        return std::nullopt;
    XWindowAttributes attributes{};
    Status ok;
    {
        QuietErrors quiet(display_);
        ok = XGetWindowAttributes(display_, static_cast<Window>(window), &attributes);
    }
    if (!ok)
        return std::nullopt;
    return Rect{0, 0, attributes.width, attributes.height};
}

unsigned long X11Link::RootWindowId() { return display_ ? DefaultRootWindow(display_) : 0; }

int X11Link::DpmsLevel()
{
    if (!display_)
        return 0;
    int eventBase = 0, errorBase = 0;
    if (!DPMSQueryExtension(display_, &eventBase, &errorBase) || !DPMSCapable(display_))
        return 0;
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!DPMSInfo(display_, &level, &enabled) || !enabled)
        return 0;
    switch (level) {
    case DPMSModeStandby: return 1;
    case DPMSModeSuspend: return 2;
    case DPMSModeOff: return 3;
    default: return 0;
    }
}

void X11Link::SetBypassCompositor(unsigned long window, bool bypass)
{
    if (!display_ || window == 0)
        return;
    QuietErrors quiet(display_);
    Atom atom = XInternAtom(display_, "_NET_WM_BYPASS_COMPOSITOR", False);
    if (bypass) {
        unsigned long value = 1;
        XChangeProperty(display_, static_cast<Window>(window), atom, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&value), 1);
    } else {
        XDeleteProperty(display_, static_cast<Window>(window), atom);
    }
}
