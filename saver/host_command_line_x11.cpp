#include "saver/host_command_line.h"
#include "saver/x11_link.h"

#include <cstdlib>
#include <vector>

std::optional<std::string> HostCommandLine(int argc, char** argv)
{
    std::vector<std::string_view> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return HostCommandLine(args, std::getenv("XSCREENSAVER_WINDOW"), [] {
        X11Link link;
        return link.RootWindowId();
    });
}
