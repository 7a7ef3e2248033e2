#pragma once
// Runs the real tessaview executable in a private X server (Xvfb, or Xorg with
// the dummy driver for several monitors), with its settings and log in a
// temporary folder, and looks at the server's screen from outside.
#include "support/temp_folder.h"
#include "support/x_server_process.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>
#include <sys/types.h>

namespace show {

class XServer {
public:
    // Xvfb with one screen of width x height.
    static std::unique_ptr<XServer> Virtual(int width, int height);
    // Xorg with the dummy driver: one 1920 x 480 output split into three
    // 640 x 480 monitors. Nothing when Xorg cannot run here.
    static std::unique_ptr<XServer> ThreeMonitors(const std::filesystem::path& folder);
    ~XServer();

    const std::string& Name() const { return process_->Name(); }
    Display* Dpy() const { return display_; }
    // Runs an X client command line (xdotool, xrandr) against this server.
    int Run(const std::string& command) const { return process_->Run(command); }

private:
    XServer() = default;
    bool Start(std::unique_ptr<support::XServerProcess> process);
    std::unique_ptr<support::XServerProcess> process_;
    Display* display_ = nullptr;
};

// A screenshot of the root window: 0x00RRGGBB per pixel.
struct Shot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // Pixels in the rectangle for which `test(r, g, b)` holds.
    template <class Test>
    int Count(int left, int top, int right, int bottom, Test test) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                std::uint32_t p = At(x, y);
                n += test(int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)) ? 1 : 0;
            }
        return n;
    }
    int NonBlack(int left, int top, int right, int bottom) const
    {
        return Count(left, top, right, bottom, [](int r, int g, int b) { return r + g + b > 60; });
    }
    bool Save(const std::filesystem::path& png) const;
};
Shot Screenshot(Display* display);

// Settings of the show: key=value lines of the INI file by section.
using Settings = std::map<std::string, std::map<std::string, std::string>>;

class Show {
public:
    // A temporary settings and data folder with Trace and AllowSoftwareAcceleration on.
    explicit Show(const XServer& server);
    ~Show();

    Settings settings;
    // When set, Start leaves the settings file (or whatever stands in its place) alone.
    bool keepSettingsFile = false;
    std::filesystem::path SettingsPath() const { return folder_ / "config" / "Kelvarin" / "Tessaview.ini"; }
    void SetImageFolder(const std::filesystem::path& folder);
    const std::filesystem::path& Folder() const { return folder_.Path(); }

    void Start(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {});
    bool Running();
    // Waits for the process to end; its exit status, or nothing on time-out.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    bool EndedBySignal() const { return bySignal_; }
    void Signal(int signalNumber);
    std::chrono::steady_clock::time_point Started() const { return started_; }
    // Sleeps until `offset` after the start.
    void At(std::chrono::milliseconds offset) const;

    std::vector<std::string> LogMessages() const;
    int CountLog(const std::string& fragment) const;
    // Waits until the log holds `fragment`.
    bool WaitForLog(const std::string& fragment, std::chrono::milliseconds timeout) const;
    std::filesystem::path LogPath() const;

private:
    const XServer& server_;
    support::TempFolder folder_;
    pid_t pid_ = -1;
    bool bySignal_ = false;
    std::chrono::steady_clock::time_point started_;
};

// A solid-colour JPEG photo.
void WritePhoto(const std::filesystem::path& file, std::uint32_t rgb, int size = 256);
// A fresh temporary folder, which the caller removes (support::TempFolder removes itself).
std::filesystem::path TempFolder(const std::string& tag);
// The folder where screenshots of failed checks are kept.
std::filesystem::path ShotFolder();
// The folder of the screenshots a build keeps to be looked at (build/screenshots).
std::filesystem::path ScreenshotFolder();
// After a failed check: the screen as `<name>.ppm` in ShotFolder(), and the
// show's log on standard error.
void KeepEvidence(const XServer& server, const Show& show, const std::string& name);

} // namespace show
