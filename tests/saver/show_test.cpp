// The real executable in a private X server: the show's life seen from outside.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "support/show_harness.h"

#include "imaging/encoder_tools.h"

#include <X11/Xutil.h>

#include <csignal>
#include <functional>
#include <sstream>
#include <thread>

using namespace std::chrono_literals;
using namespace show;
namespace fs = std::filesystem;

namespace {
// Mapped top-level dialogs (smaller than the screen) called "Tessaview": the
// message box. The show windows carry the program's name too but cover a
// monitor or sit inside their host.
int CountMessageBoxes(Display* d)
{
    int n = 0;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a{};
        char* title = nullptr;
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable && a.width < 600 &&
            XFetchName(d, children[i], &title) && title) {
            n += std::string(title) == "Tessaview" ? 1 : 0;
            XFree(title);
        }
    }
    if (children)
        XFree(children);
    return n;
}

// The show's own window under `parent`: mapped, with an empty title.
Window FindShowWindow(Display* d, Window parent)
{
    Window root, up, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(d, parent, &root, &up, &children, &count))
        return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a{};
        char* title = nullptr;
        if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
            XFetchName(d, children[i], &title) && title) {
            if (*title == '\0')
                found = children[i];
            XFree(title);
        }
    }
    if (children)
        XFree(children);
    return found;
}

// What a window manager or another program sends to close a window.
void SendCloseRequest(Display* d, Window w)
{
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XSync(d, False);
}

// The value of the compositor hint on `w`, or -1 when the window has none.
long BypassCompositor(Display* d, Window w)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    Atom hint = XInternAtom(d, "_NET_WM_BYPASS_COMPOSITOR", False);
    if (XGetWindowProperty(d, w, hint, 0, 1, False, AnyPropertyType, &type, &format, &items, &after, &data) !=
            Success ||
        !data)
        return -1;
    long value = items == 1 && format == 32 ? *reinterpret_cast<long*>(data) : -1;
    XFree(data);
    return value;
}

class HostWindow {
public:
    HostWindow(Display* d, int width, int height) : display_(d)
    {
        window_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, width, height, 0, 0, 0);
        XMapWindow(d, window_);
        XSync(d, False);
    }
    ~HostWindow() { Destroy(); }
    void Destroy()
    {
        if (!window_)
            return;
        XDestroyWindow(display_, window_);
        XSync(display_, False);
        window_ = 0;
    }
    Window Id() const { return window_; }
    std::string Decimal() const { return std::to_string(window_); }
    std::string Hex() const
    {
        std::ostringstream s;
        s << "0x" << std::hex << window_;
        return s.str();
    }

private:
    Display* display_;
    Window window_ = 0;
};

class ShowTest : public ::testing::Test {
protected:
    void StartServer(int width = 800, int height = 600)
    {
        server = XServer::Virtual(width, height);
        ASSERT_TRUE(server) << "Xvfb did not start";
        show = std::make_unique<Show>(*server);
        // Photos by default: an empty list would bring up the message box.
        show->SetImageFolder(PhotoFolder(0x606060, 2));
    }
    void SetUp() override { StartServer(); }
    void UseThreeMonitors(const fs::path& folder)
    {
        show.reset();
        server = XServer::ThreeMonitors(folder);
        if (!server)
            return;
        show = std::make_unique<Show>(*server);
        show->SetImageFolder(PhotoFolder(0x606060, 2));
    }
    void TearDown() override
    {
        if (HasFailure() && server && show)
            KeepEvidence(*server, *show, ::testing::UnitTest::GetInstance()->current_test_info()->name());
        show.reset();
        server.reset();
    }
    // Starts the show and waits until its window exists; later offsets count from then.
    void StartAndWaitForWindow(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {})
    {
        show->Start(args, env);
        ASSERT_TRUE(show->WaitForLog("SPI_SETSCREENSAVERRUNNING", 10s)) << "no window";
        shown = std::chrono::steady_clock::now();
    }
    void AtShown(std::chrono::milliseconds offset) const { std::this_thread::sleep_until(shown + offset); }
    fs::path PhotoFolder(std::uint32_t rgb, int count)
    {
        fs::path dir = show->Folder() / "photos";
        fs::create_directories(dir);
        for (int i = 0; i < count; ++i)
            WritePhoto(dir / ("photo" + std::to_string(i) + ".bmp"), rgb);
        return dir;
    }

    std::unique_ptr<XServer> server;
    std::unique_ptr<Show> show;
    std::chrono::steady_clock::time_point shown;
};
} // namespace

TEST_F(ShowTest, FramesFollowTheFirstTickAndTheRateIsLogged)
{
    show->SetImageFolder(PhotoFolder(0x2040C0, 2));
    StartAndWaitForWindow({"/s"});
    ASSERT_TRUE(show->WaitForLog("frames per second", 15s));
    // The renderer reports the frame's timing once it is drawn.
    EXPECT_TRUE(show->WaitForLog("RenderFrame: longest interval", 2s));
    auto log = show->LogMessages();
    auto index = [&](const std::string& f) {
        for (std::size_t i = 0; i < log.size(); ++i)
            if (log[i].find(f) != std::string::npos)
                return int(i);
        return -1;
    };
    EXPECT_LT(index("ScrInit: Window Size=800,600 BitsPixel=24"), index("Done with Direct3D setup"));
    EXPECT_LT(index("Done with Direct3D setup"), index("frames per second"));
    EXPECT_GT(Screenshot(server->Dpy()).NonBlack(0, 0, 800, 600), 2000);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
}

TEST_F(ShowTest, PhotosOfTheConfiguredFolderAppearWithinTwoSeconds)
{
    show->SetImageFolder(PhotoFolder(0x00E000, 3));
    show->settings["Settings"]["CubeTransp"] = "0";
    StartAndWaitForWindow({"/s"});
    AtShown(2000ms);
    Shot shot = Screenshot(server->Dpy());
    shot.Save(ShotFolder() / "photos-at-2s.ppm");
    int green = shot.Count(0, 0, shot.width, shot.height,
                           [](int r, int g, int b) { return g > 120 && r < 90 && b < 90; });
    EXPECT_GT(green, 1500);
}

TEST_F(ShowTest, APhoneFolderOfHeicJpegPngAndWebpShowsEveryPhoto)
{
    // Made by Debian's encoders from plain green pictures, as a phone and the
    // web would store them; the HEIC is stored sideways with an EXIF turn.
    const fs::path green = show->Folder() / "green.png", turned = show->Folder() / "turned.jpg";
    const fs::path dir = show->Folder() / "phone";
    fs::create_directories(dir);
    ASSERT_EQ(std::system(("convert -size 320x240 xc:#00E000 " + ShellQuoted(green.string()) + " && convert " +
                           ShellQuoted(green.string()) + " -rotate 90 -orient RightTop " +
                           ShellQuoted(turned.string()) + " && cp " + ShellQuoted(green.string()) + " " +
                           ShellQuoted((dir / "Screenshot.png").string()) + " && convert " +
                           ShellQuoted(green.string()) + " " + ShellQuoted((dir / "IMG_0003.JPG").string()))
                              .c_str()),
              0);
    ASSERT_TRUE(EncodeWith(green.string(), (dir / "IMG_0001.HEIC").string()));
    ASSERT_TRUE(EncodeWith(turned.string(), (dir / "IMG_0002.heic").string()));
    ASSERT_TRUE(EncodeWith(green.string(), (dir / "sticker.webp").string()));
    show->SetImageFolder(dir);
    show->settings["Settings"]["CubeTransp"] = "0";
    show->settings["Settings"]["Delay"] = "1";   // every photo within seconds
    StartAndWaitForWindow({"/s"});
    AtShown(2500ms);
    Shot shot = Screenshot(server->Dpy());
    shot.Save(ShotFolder() / "phone-folder-at-2.5s.ppm");
    const int greenPixels = shot.Count(0, 0, shot.width, shot.height,
                                  [](int r, int g, int b) { return g > 120 && r < 90 && b < 90; });
    EXPECT_GT(greenPixels, 1500);
    EXPECT_TRUE(show->WaitForLog("Image Files Count=5", 1s));
    for (const char* name : {"IMG_0001.HEIC", "IMG_0002.heic", "IMG_0003.JPG", "Screenshot.png", "sticker.webp"})
        EXPECT_TRUE(show->WaitForLog("Loading file " + (dir / name).string(), 5s)) << name;
    for (const std::string& m : show->LogMessages())
        EXPECT_EQ(m.find("Error"), std::string::npos) << m;
}

TEST_F(ShowTest, OnePixelMovesKeepTheShowTwoPixelsAfterASecondEndIt)
{
    server->Run("xdotool mousemove 400 300");
    StartAndWaitForWindow({"/s"});
    AtShown(500ms);
    server->Run("xdotool mousemove 401 301");
    AtShown(1500ms);
    server->Run("xdotool mousemove 401 299");
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(show->Running()) << "a one-pixel move ended the show";
    server->Run("xdotool mousemove 402 300");
    EXPECT_EQ(show->Wait(10s), 0);
    EXPECT_EQ(show->CountLog("CloseDX exit"), 1);
}

TEST_F(ShowTest, KeyInTheFirstSecondIsIgnoredLaterOneEndsTheShow)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a checked build starts too slowly for the first second to be measured from outside";
#endif
    StartAndWaitForWindow({"/s"});
    // Early rather than at half a second: on a loaded machine the window is
    // seen late, and the guard counts from its construction.
    AtShown(200ms);
    server->Run("xdotool key a");
    AtShown(1400ms);
    ASSERT_TRUE(show->Running()) << "a key in the first second ended the show";
    AtShown(1500ms);
    server->Run("xdotool key a");
    EXPECT_EQ(show->Wait(10s), 0);
    EXPECT_FALSE(show->EndedBySignal());
}

TEST_F(ShowTest, WithExitMMoveOffMovesKeepTheShow)
{
    show->settings["Settings"]["ExitMMove"] = "0";
    server->Run("xdotool mousemove 100 100");
    StartAndWaitForWindow({"/s"});
    AtShown(1500ms);
    server->Run("xdotool mousemove 300 300");
    server->Run("xdotool mousemove 500 400");
    std::this_thread::sleep_for(800ms);
    ASSERT_TRUE(show->Running());
    server->Run("xdotool click 1");
    EXPECT_EQ(show->Wait(10s), 0);
}

TEST_F(ShowTest, ThreeMonitorsGetThreeWindowsAndOneKeyClosesAll)
{
    support::TempFolder folder("xorg");
    UseThreeMonitors(folder.Path());
    if (!server)
        GTEST_SKIP() << "Xorg with the dummy driver cannot run here";
    StartAndWaitForWindow({"/s"});
    ASSERT_TRUE(show->WaitForLog("Done with Direct3D setup", 10s));
    AtShown(2500ms);
    Shot shot = Screenshot(server->Dpy());
    for (int m = 0; m < 3; ++m)
        EXPECT_GT(shot.NonBlack(640 * m, 0, 640 * (m + 1), 480), 1000) << "monitor " << m;
    EXPECT_EQ(show->CountLog("Monitor Rect="), 3);
    EXPECT_EQ(show->CountLog("Monitor Rect=(640,0)-(1280,480)"), 1);
    EXPECT_EQ(show->CountLog("bNoSounds=0"), 1);
    EXPECT_EQ(show->CountLog("bNoSounds=1"), 2);
    server->Run("xdotool mousemove 1500 200 click 1");
    EXPECT_EQ(show->Wait(10s), 0);
    EXPECT_EQ(show->CountLog("CloseDX exit"), 3);
}

TEST_F(ShowTest, ThreeMonitorsShowTheNoFilesMessageOnce)
{
    support::TempFolder folder("xorg");
    UseThreeMonitors(folder.Path());
    if (!server)
        GTEST_SKIP() << "Xorg with the dummy driver cannot run here";
    show->settings["Paths"] = {{"Count", "0"}};
    StartAndWaitForWindow({"/s"});
    ASSERT_TRUE(show->WaitForLog("showing message 107", 5s));
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(show->CountLog("showing message 107"), 1);
    EXPECT_EQ(CountMessageBoxes(server->Dpy()), 1);
    EXPECT_EQ(show->CountLog("ScrInit: Window Size"), 3);
    server->Run("xdotool key Return");
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(CountMessageBoxes(server->Dpy()), 0);
    EXPECT_EQ(show->CountLog("showing message 107"), 1);
    EXPECT_EQ(show->CountLog("Done with Direct3D setup"), 3);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
}

TEST_F(ShowTest, EmptyFolderListShowsTheNoFilesMessageOnce)
{
    show->settings["Paths"] = {{"Count", "0"}};
    StartAndWaitForWindow({"/s"});
    ASSERT_TRUE(show->WaitForLog("showing message 107", 5s));
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(show->CountLog("showing message 107"), 1);
    EXPECT_EQ(CountMessageBoxes(server->Dpy()), 1);
    // The box takes the key; the show goes on with the built-in tiles.
    server->Run("xdotool key Return");
    std::this_thread::sleep_for(1000ms);
    EXPECT_EQ(CountMessageBoxes(server->Dpy()), 0);
    EXPECT_TRUE(show->Running());
    EXPECT_TRUE(show->WaitForLog("Done with Direct3D setup", 5s));
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
}

TEST_F(ShowTest, PreviewIgnoresInputShowsNoMessageAndClosesWithItsHost)
{
    HostWindow host(server->Dpy(), 152, 112);
    show->Start({"/p", host.Decimal()});
    std::this_thread::sleep_for(2500ms);
    ASSERT_TRUE(show->Running());
    EXPECT_EQ(CountMessageBoxes(server->Dpy()), 0);
    server->Run("xdotool mousemove 50 50 mousemove 120 90 click 1 key a");
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(show->Running()) << "input ended a preview";
    EXPECT_GT(Screenshot(server->Dpy()).NonBlack(0, 0, 152, 112), 200);
    // A preview keeps no log.
    EXPECT_FALSE(fs::exists(show->LogPath()));
    host.Destroy();
    EXPECT_EQ(show->Wait(5s), 0);
    EXPECT_FALSE(show->EndedBySignal());
}

TEST_F(ShowTest, LargeHostWindowGetsANormalShowInside)
{
    TearDown();
    StartServer(1024, 768);
    HostWindow host(server->Dpy(), 800, 600);
    show->Start({"/p", host.Decimal()});
    ASSERT_TRUE(show->WaitForLog("ScrInit: Window Size=800,600", 10s));
    EXPECT_EQ(show->CountLog("Creating preview window or window with a parent (Preview=0"), 1);
    std::this_thread::sleep_for(1500ms);
    Shot shot = Screenshot(server->Dpy());
    EXPECT_GT(shot.NonBlack(0, 0, 800, 600), 2000);
    EXPECT_EQ(shot.NonBlack(800, 0, 1024, 768), 0);
    host.Destroy();
    EXPECT_EQ(show->Wait(10s), 0);
    EXPECT_EQ(show->CountLog("CloseDX exit"), 1);
}

TEST_F(ShowTest, HostFormsWindowIdAndEnvironmentWorkLikeAParent)
{
    {
        HostWindow host(server->Dpy(), 152, 112);
        show->Start({"-window-id", host.Hex()});
        std::this_thread::sleep_for(2000ms);
        ASSERT_TRUE(show->Running());
        EXPECT_GT(Screenshot(server->Dpy()).NonBlack(0, 0, 152, 112), 200);
        host.Destroy();
        EXPECT_EQ(show->Wait(5s), 0);
    }
    {
        HostWindow host(server->Dpy(), 640, 480);
        show->Start({}, {{"XSCREENSAVER_WINDOW", host.Hex()}});
        ASSERT_TRUE(show->WaitForLog("ScrInit: Window Size=640,480", 10s));
        show->Signal(SIGTERM);
        EXPECT_EQ(show->Wait(10s), 0);
        // An explicit /s beside the host's variable is the full-screen show.
        show->Start({"/s"}, {{"XSCREENSAVER_WINDOW", host.Hex()}});
        ASSERT_TRUE(show->WaitForLog("ScrInit: Window Size=800,600", 10s));
        EXPECT_EQ(show->CountLog("ScrInit: Window Size=640,480"), 0);
        show->Signal(SIGTERM);
        EXPECT_EQ(show->Wait(10s), 0);
    }
    // The root window as host: a normal show covering the screen.
    show->Start({"-root"});
    ASSERT_TRUE(show->WaitForLog("ScrInit: Window Size=800,600", 10s));
    EXPECT_EQ(show->CountLog("Creating preview window or window with a parent (Preview=0"), 1);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
    // A window id that names no window: no show at all.
    show->Start({"-window-id", "0x7ffffff"});
    EXPECT_EQ(show->Wait(5s), 0);
}

TEST_F(ShowTest, CloseRequestsOfOtherProgramsEndOnlyAPreview)
{
    StartAndWaitForWindow({"/s"});
    AtShown(1500ms);
    Window full = FindShowWindow(server->Dpy(), DefaultRootWindow(server->Dpy()));
    ASSERT_NE(full, 0u);
    SendCloseRequest(server->Dpy(), full);
    std::this_thread::sleep_for(1000ms);
    EXPECT_TRUE(show->Running()) << "a full-screen show obeyed another program's close request";
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);

    HostWindow host(server->Dpy(), 152, 112);
    show->Start({"/p", host.Decimal()});
    std::this_thread::sleep_for(1500ms);
    Window preview = FindShowWindow(server->Dpy(), host.Id());
    ASSERT_NE(preview, 0u);
    SendCloseRequest(server->Dpy(), preview);
    EXPECT_EQ(show->Wait(5s), 0);
}

TEST_F(ShowTest, CompositorIsAskedToStandAsideOnlyWhenTheSettingSaysSo)
{
    StartAndWaitForWindow({"/s"});
    AtShown(1000ms);
    Window full = FindShowWindow(server->Dpy(), DefaultRootWindow(server->Dpy()));
    ASSERT_NE(full, 0u);
    // The hint comes with the first frame tick, after the lists are built:
    // a checked build on a busy machine can take seconds to get there.
    long bypass = BypassCompositor(server->Dpy(), full);
    for (int i = 0; i < 100 && bypass != 1; ++i) {
        std::this_thread::sleep_for(100ms);
        bypass = BypassCompositor(server->Dpy(), full);
    }
    EXPECT_EQ(bypass, 1);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);

    show->settings["Settings"]["WindowsComposition"] = "2";
    StartAndWaitForWindow({"/s"});
    AtShown(1000ms);
    full = FindShowWindow(server->Dpy(), DefaultRootWindow(server->Dpy()));
    ASSERT_NE(full, 0u);
    EXPECT_EQ(BypassCompositor(server->Dpy(), full), -1);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
}

TEST_F(ShowTest, SecondFullScreenStartEndsAtOnce)
{
    StartAndWaitForWindow({"/s"});
    Show second(*server);
    auto before = std::chrono::steady_clock::now();
    second.Start({"/s"});
    EXPECT_EQ(second.Wait(5s), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 3s);
    EXPECT_FALSE(fs::exists(second.LogPath()) && second.CountLog("Monitor Rect") > 0);
    EXPECT_TRUE(show->Running());
}

TEST_F(ShowTest, SigtermEndsTheShowInOrder)
{
    show->SetImageFolder(PhotoFolder(0x808080, 2));
    StartAndWaitForWindow({"/s"});
    ASSERT_TRUE(show->WaitForLog("Done with Direct3D setup", 10s));
    AtShown(1500ms);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
    EXPECT_FALSE(show->EndedBySignal());
    EXPECT_EQ(show->CountLog("Texture loading thread shut down properly"), 1);
    EXPECT_EQ(show->CountLog("CloseDX exit"), 1);
    for (auto& entry : fs::directory_iterator(show->Folder()))
        EXPECT_EQ(entry.path().filename().string().rfind("core", 0), std::string::npos);

    // The other two signals a host or a terminal sends end it the same way.
    for (int signalNumber : {SIGINT, SIGHUP}) {
        StartAndWaitForWindow({"/s"});
        ASSERT_TRUE(show->WaitForLog("Done with Direct3D setup", 10s));
        show->Signal(signalNumber);
        EXPECT_EQ(show->Wait(10s), 0) << "signal " << signalNumber;
        EXPECT_EQ(show->CountLog("CloseDX exit"), 1) << "signal " << signalNumber;
    }
}

TEST_F(ShowTest, WithoutAHardwareRendererTheFallbacksArePainted)
{
    // Mesa's slowest rasteriser is all there is; it stands for the reference device.
    const std::map<std::string, std::string> slowOnly{{"GALLIUM_DRIVER", "softpipe"}};
    show->settings["Settings"]["AllowSoftwareAcceleration"] = "0";
    StartAndWaitForWindow({"/s"}, slowOnly);
    ASSERT_TRUE(show->WaitForLog("Couldn't find a good windowed DirectX format, giving up", 10s));
    AtShown(1500ms);
    Shot shot = Screenshot(server->Dpy());
    shot.Save(ShotFolder() / "no-renderer.ppm");
    auto white = [](int r, int g, int b) { return r > 200 && g > 200 && b > 200; };
    // Two lines of text centred from a third of the way down.
    EXPECT_GT(shot.Count(100, 190, 700, 250, white), 100);
    EXPECT_EQ(shot.Count(0, 0, 800, 180, white), 0);
    EXPECT_EQ(shot.Count(0, 0, 60, 600, white), 0);
    EXPECT_EQ(shot.Count(740, 0, 800, 600, white), 0);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);

    // A preview shows the built-in picture at its own size, centred.
    HostWindow host(server->Dpy(), 152, 112);
    show->Start({"/p", host.Decimal()}, slowOnly);
    std::this_thread::sleep_for(2000ms);
    Shot small = Screenshot(server->Dpy());
    int left = 152, right = -1, top = 112, bottom = -1;
    for (int y = 0; y < 112; ++y)
        for (int x = 0; x < 152; ++x)
            if ((small.At(x, y) & 0xFFFFFF) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_EQ(left, 6);
    EXPECT_EQ(right, 145);
    EXPECT_EQ(top, 29);
    EXPECT_EQ(bottom, 81);
    host.Destroy();
    EXPECT_EQ(show->Wait(5s), 0);

    // With the permission, the same rasteriser serves as the reference device.
    show->settings["Settings"]["AllowSoftwareAcceleration"] = "1";
    StartAndWaitForWindow({"/s"}, slowOnly);
    EXPECT_TRUE(show->WaitForLog("Done with Direct3D setup", 10s));
    EXPECT_EQ(show->CountLog("CreateDevice(HAL) returned error code: DEVICEERR_NOTAVAILABLE"), 1);
    EXPECT_EQ(show->CountLog("CreateDevice(REF) returned 0"), 1);
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
}
