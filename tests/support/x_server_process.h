#pragma once
// A private X server for one test: it picks a free display number itself, so
// servers that tests start at the same moment never meet on one number. It
// ends with the object.
#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

namespace support {

class XServerProcess {
public:
    // Starts an X server command line (Xvfb or Xorg with its options) and waits
    // until it accepts connections; nothing when it does not come up.
    static std::unique_ptr<XServerProcess> Start(std::vector<std::string> argv);
    // Xvfb with one 24-bit screen of width x height, with GLX.
    static std::unique_ptr<XServerProcess> Virtual(int width, int height);
    ~XServerProcess();
    XServerProcess(const XServerProcess&) = delete;
    XServerProcess& operator=(const XServerProcess&) = delete;

    // ":<number>"
    const std::string& Name() const { return name_; }
    // Runs an X client command line (xdotool, xrandr) against this server; its exit code.
    int Run(const std::string& command) const;
    // The standard output of such a command line.
    std::string Output(const std::string& command) const;

private:
    XServerProcess() = default;
    pid_t pid_ = -1;
    std::string name_;
};

} // namespace support
