#include "app/program_options.h"

#include "app/xscreensaver_list.h"

#include <cstdio>
#include <vector>

#define TSV_STRINGIFY2(x) #x
#define TSV_STRINGIFY(x) TSV_STRINGIFY2(x)

TerminalOption FindTerminalOption(std::span<const std::string_view> args)
{
    for (std::string_view a : args) {
        if (a == "--help" || a == "-h")
            return TerminalOption::Help;
        if (a == "--version")
            return TerminalOption::Version;
        if (a == "--add-to-xscreensaver")
            return TerminalOption::AddToXScreenSaver;
    }
    return TerminalOption::None;
}

std::string VersionLine(std::string_view program)
{
    return std::string(program) + " " TSV_STRINGIFY(TSV_VERSION_MAJOR) "." TSV_STRINGIFY(
               TSV_VERSION_MINOR) "." TSV_STRINGIFY(TSV_VERSION_PATCH) "\n";
}

std::string UsageText()
{
    return "Usage: tessaview [/s | /c | /a | /p WINDOW]\n"
           "       tessaview [-root | -window-id WINDOW]\n"
           "       tessaview --add-to-xscreensaver | --help | --version\n"
           "Shows your own photos on the faces of a spinning cube, as a screen saver.\n"
           "\n"
           "Run modes (the letter may follow / or -, in either case):\n"
           "  /s                    full-screen show on every monitor\n"
           "  /p WINDOW             draw inside the X11 window WINDOW; a small one gets the preview\n"
           "  /c                    the configuration sheet (also an empty command line)\n"
           "  /a                    accepted; the screen-saver host looks after the password\n"
           "As a hack of a screen-saver host (xscreensaver, the MATE screen saver, xsecurelock):\n"
           "  -root                 draw into the host's window (XSCREENSAVER_WINDOW) or the root window\n"
           "  -window-id WINDOW     draw inside WINDOW, decimal or 0x-prefixed hexadecimal\n"
           "Other options:\n"
           "  --add-to-xscreensaver add \"tessaview --root\" to the programs list of ~/.xscreensaver\n"
           "  -h, --help            print this help and exit\n"
           "  --version             print the version and exit\n"
           "\n"
           "Files:\n"
           "  ~/.config/Kelvarin/Tessaview.ini        the settings ($XDG_CONFIG_HOME), made by tessaview /c\n"
           "  ~/.local/share/Tessaview/Tessaview.log  the log, written when Trace=1 ($XDG_DATA_HOME)\n"
           "\n"
           "The show needs an X11 display (XWayland on a Wayland session).\n"
           "More in the manual page: man tessaview\n";
}

std::optional<int> RunTerminalOption(int argc, char** argv)
{
    std::vector<std::string_view> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    switch (FindTerminalOption(args)) {
    case TerminalOption::None:
        return std::nullopt;
    case TerminalOption::Help:
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    case TerminalOption::Version:
        std::fputs(VersionLine("tessaview").c_str(), stdout);
        return 0;
    case TerminalOption::AddToXScreenSaver: {
        const ListUpdate update = AddToXScreenSaverFile(UserXScreenSaverFile());
        std::fprintf(update.ok ? stdout : stderr, "%s\n", update.message.c_str());
        return update.ok ? 0 : 1;
    }
    }
    return std::nullopt;
}
