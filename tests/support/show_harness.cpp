#include "support/show_harness.h"

#include "support/child_process.h"
#include "support/reading.h"

#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace show {

namespace {
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

fs::path BuildFolder(const char* name)
{
    fs::path dir = fs::path(TSV_BUILD_DIR) / name;
    fs::create_directories(dir);
    return dir;
}
} // namespace

fs::path TempFolder(const std::string& tag) { return support::MakeTempFolder(tag); }

fs::path ShotFolder() { return BuildFolder("test-shots"); }

fs::path ScreenshotFolder() { return BuildFolder("screenshots"); }

void KeepEvidence(const XServer& server, const Show& show, const std::string& name)
{
    Screenshot(server.Dpy()).Save(ShotFolder() / (name + ".ppm"));
    for (const std::string& line : show.LogMessages())
        std::fprintf(stderr, "log: %s\n", line.c_str());
}

bool XServer::Start(std::unique_ptr<support::XServerProcess> process)
{
    process_ = std::move(process);
    if (!process_)
        return false;
    display_ = XOpenDisplay(process_->Name().c_str());
    if (display_)
        XSetErrorHandler(IgnoreErrors);
    return display_ != nullptr;
}

std::unique_ptr<XServer> XServer::Virtual(int width, int height)
{
    std::unique_ptr<XServer> s(new XServer);
    if (!s->Start(support::XServerProcess::Virtual(width, height)))
        return nullptr;
    return s;
}

std::unique_ptr<XServer> XServer::ThreeMonitors(const fs::path& folder)
{
    fs::path config = folder / "xorg.conf";
    std::ofstream(config) << R"(Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "1920x480" 72.00 1920 1960 2000 2400 480 483 490 500
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1920x480"
    Virtual 1920 480
  EndSubSection
EndSection
)";
    std::unique_ptr<XServer> s(new XServer);
    if (!s->Start(support::XServerProcess::Start({"Xorg", "-config", config.string(), "-noreset", "-nolisten", "tcp",
                                                  "-logfile", (folder / "xorg.log").string()})))
        return nullptr;
    // One output, three monitors on it: Qt sees three screens.
    if (s->Run("xrandr --setmonitor M0 640/169x480/127+0+0 DUMMY0") != 0 ||
        s->Run("xrandr --setmonitor M1 640/169x480/127+640+0 none") != 0 ||
        s->Run("xrandr --setmonitor M2 640/169x480/127+1280+0 none") != 0)
        return nullptr;
    return s;
}

XServer::~XServer()
{
    if (display_)
        XCloseDisplay(display_);
}

Shot Screenshot(Display* display)
{
    Shot shot;
    Window root = DefaultRootWindow(display);
    XWindowAttributes a{};
    XGetWindowAttributes(display, root, &a);
    XImage* image = XGetImage(display, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image)
        return shot;
    shot.width = a.width;
    shot.height = a.height;
    shot.pixels.resize(static_cast<std::size_t>(a.width) * a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            shot.pixels[static_cast<std::size_t>(y) * a.width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
    XDestroyImage(image);
    return shot;
}

bool Shot::Save(const fs::path& file) const
{
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (std::uint32_t p : pixels) {
        char rgb[3] = {char(p >> 16), char(p >> 8), char(p)};
        out.write(rgb, 3);
    }
    return bool(out);
}

void WritePhoto(const fs::path& file, std::uint32_t rgb, int size)
{
    // A 24-bit bottom-up BMP: the program's own reader takes it.
    int rowBytes = (size * 3 + 3) / 4 * 4;
    std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes) * size;
    std::vector<unsigned char> data(54 + pixelBytes, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, 54 + pixelBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(size));
    put32(22, static_cast<std::uint32_t>(size));
    data[26] = 1;
    data[28] = 24;
    put32(34, pixelBytes);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::size_t at = 54 + static_cast<std::size_t>(y) * rowBytes + x * 3;
            data[at] = static_cast<unsigned char>(rgb);
            data[at + 1] = static_cast<unsigned char>(rgb >> 8);
            data[at + 2] = static_cast<unsigned char>(rgb >> 16);
        }
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                static_cast<std::streamsize>(data.size()));
}

Show::Show(const XServer& server) : server_(server), folder_("show")
{
    settings["Settings"]["Trace"] = "1";
    settings["Settings"]["AllowSoftwareAcceleration"] = "1";
    settings["Paths"]["Count"] = "0";
    fs::create_directories(folder_ / "config" / "Kelvarin");
    fs::create_directories(folder_ / "data");
    fs::create_directories(folder_ / "home");
    fs::create_directories(folder_ / "run");
    chmod((folder_ / "run").c_str(), 0700);
}

Show::~Show() { support::StopChild(pid_); }

void Show::SetImageFolder(const fs::path& folder)
{
    settings["Paths"]["Count"] = "1";
    settings["Paths"]["Path0"] = folder.string();
}

void Show::Start(const std::vector<std::string>& args, const std::map<std::string, std::string>& env)
{
    if (!keepSettingsFile) {
        std::ofstream ini(SettingsPath());
        for (auto& [section, keys] : settings) {
            ini << "[" << section << "]\n";
            for (auto& [k, v] : keys)
                ini << k << "=" << v << "\n";
        }
    }
    // Checks of the new run must not see the last run's lines.
    std::error_code ec;
    fs::remove(LogPath(), ec);
    support::ChildOptions options{.output = folder_ / "output.txt"};
    options.env = {{"XSCREENSAVER_WINDOW", std::nullopt},
                   {"DISPLAY", server_.Name()},
                   {"XDG_CONFIG_HOME", (folder_ / "config").string()},
                   {"XDG_DATA_HOME", (folder_ / "data").string()},
                   {"XDG_RUNTIME_DIR", (folder_ / "run").string()},
                   {"HOME", (folder_ / "home").string()},
                   {"QT_QPA_PLATFORM", "xcb"},
                   {"LIBGL_ALWAYS_SOFTWARE", "1"}};
    // Sanitizer runs preload what the program's leak check needs (see scripts/run-sanitize).
    if (const char* preload = getenv("TSV_CHILD_PRELOAD"); preload && *preload)
        options.env["LD_PRELOAD"] = preload;
    for (auto& [k, v] : env)
        options.env[k] = v;
    std::vector<std::string> argv{TSV_EXECUTABLE};
    argv.insert(argv.end(), args.begin(), args.end());
    started_ = std::chrono::steady_clock::now();
    pid_ = support::StartChild(argv, options);
}

bool Show::Running()
{
    if (pid_ <= 0)
        return false;
    int status = 0;
    pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0)
        return true;
    bySignal_ = r == pid_ && WIFSIGNALED(status);
    pid_ = -1;
    return false;
}

std::optional<int> Show::Wait(std::chrono::milliseconds timeout)
{
    if (pid_ <= 0)
        return std::nullopt;
    auto status = support::WaitChild(pid_, timeout);
    if (!status)
        return std::nullopt;
    pid_ = -1;
    bySignal_ = WIFSIGNALED(*status);
    return support::ExitCode(*status);
}

void Show::Signal(int signalNumber)
{
    if (pid_ > 0)
        kill(pid_, signalNumber);
}

void Show::At(std::chrono::milliseconds offset) const { std::this_thread::sleep_until(started_ + offset); }

fs::path Show::LogPath() const { return folder_ / "data" / "Tessaview" / "Tessaview.log"; }

std::vector<std::string> Show::LogMessages() const { return support::LogMessages(LogPath()); }

int Show::CountLog(const std::string& fragment) const { return support::CountLog(LogPath(), fragment); }

bool Show::WaitForLog(const std::string& fragment, std::chrono::milliseconds timeout) const
{
    return support::WaitForLog(LogPath(), fragment, timeout);
}

} // namespace show
