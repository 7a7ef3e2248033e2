#include "app/x11_display.h"

#include <QByteArray>
#include <QtGlobal>

#include <X11/Xlib.h>
#include <cstdlib>

std::optional<std::string> DisplayProblem(std::string_view program)
{
    if (Display* display = XOpenDisplay(nullptr)) {
        XCloseDisplay(display);
        return std::nullopt;
    }
    // The name Xlib tried: DISPLAY, or "" when it is unset.
    const char* name = XDisplayName(nullptr);
    return std::string(program) + ": cannot open display \"" + (name ? name : "") + "\"";
}

X11PlatformChoice::X11PlatformChoice()
{
    if (const char* value = std::getenv("QT_QPA_PLATFORM"))
        previous_ = value;
    qputenv("QT_QPA_PLATFORM", "xcb");
}

void X11PlatformChoice::Restore()
{
    if (restored_)
        return;
    restored_ = true;
    // Qt's own environment calls: Qt's threads exist by now.
    if (previous_)
        qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*previous_));
    else
        qunsetenv("QT_QPA_PLATFORM");
}
