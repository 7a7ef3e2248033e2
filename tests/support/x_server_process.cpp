#include "support/x_server_process.h"

#include "support/child_process.h"
#include "support/shell.h"

#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace support {

namespace {
// Xorg with its drivers can take a while on a loaded machine.
constexpr std::chrono::seconds kStartLimit{30};
} // namespace

std::unique_ptr<XServerProcess> XServerProcess::Start(std::vector<std::string> argv)
{
    int fds[2];
    if (argv.empty() || pipe(fds) != 0)
        return nullptr;
    argv.insert(argv.begin() + 1, {"-displayfd", std::to_string(fds[1])});
    std::unique_ptr<XServerProcess> server(new XServerProcess);
    const int readEnd = fds[0];
    server->pid_ = StartChild(argv, {.inChild = [readEnd] { close(readEnd); }});
    close(fds[1]);
    // The server writes its display number once it accepts connections; the
    // pipe closes without one when it cannot start.
    std::string number;
    const auto end = std::chrono::steady_clock::now() + kStartLimit;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        char c;
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0 || read(fds[0], &c, 1) != 1 ||
            c == '\n')
            break;
        number += c;
    }
    close(fds[0]);
    if (server->pid_ <= 0 || number.empty())
        return nullptr;
    server->name_ = ":" + number;
    return server;
}

std::unique_ptr<XServerProcess> XServerProcess::Virtual(int width, int height)
{
    return Start({"Xvfb", "-screen", "0", std::to_string(width) + "x" + std::to_string(height) + "x24", "+extension",
                  "GLX", "-nolisten", "tcp", "-noreset"});
}

XServerProcess::~XServerProcess() { StopChild(pid_); }

int XServerProcess::Run(const std::string& command) const
{
    return Shell("DISPLAY=" + name_ + " " + command + " >/dev/null 2>&1").exitCode;
}

std::string XServerProcess::Output(const std::string& command) const
{
    return Shell("DISPLAY=" + name_ + " " + command + " 2>/dev/null").output;
}

} // namespace support
