// A new user's first show: no settings file at all, photos in ~/Pictures, and
// a display whose OpenGL is Mesa's llvmpipe (a virtual machine, a remote
// desktop), on a session that asks Qt for Wayland. The cube shows the photos.
#include <gtest/gtest.h>

#include "desktop_checks.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <iostream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
bool Near(int value, int wanted) { return value > wanted - 40 && value < wanted + 40; }

// Pixels of each photo's colour in a screenshot.
std::array<int, 3> PhotoPixels(const show::Shot& shot)
{
    return {shot.Count(0, 0, shot.width, shot.height, [](int r, int g, int b) { return Near(r, 0xE0) && Near(g, 0x20) && Near(b, 0x20); }),
            shot.Count(0, 0, shot.width, shot.height, [](int r, int g, int b) { return Near(r, 0x20) && Near(g, 0xE0) && Near(b, 0x20); }),
            shot.Count(0, 0, shot.width, shot.height, [](int r, int g, int b) { return Near(r, 0x20) && Near(g, 0x20) && Near(b, 0xE0); })};
}
} // namespace

TEST(FirstRun, DefaultSettingsOnASoftwareRendererShowThePhotosOfPictures)
{
    auto server = show::XServer::Virtual(800, 600);
    ASSERT_TRUE(server) << "no virtual X server";
    host::Session session(server->Name());
    // The first run also takes the shared backgrounds folder; an empty one
    // stands in for it, so every photo seen comes from ~/Pictures.
    std::optional<std::pair<fs::path, fs::path>> noBackgrounds;
    if (fs::exists("/usr/share/backgrounds")) {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root to set /usr/share/backgrounds aside for the show";
        fs::create_directories(session.Root() / "no-backgrounds");
        noBackgrounds.emplace(session.Root() / "no-backgrounds", "/usr/share/backgrounds");
    }
    const fs::path pictures = session.Home() / "Pictures";
    fs::create_directories(pictures);
    show::WritePhoto(pictures / "red.bmp", 0xE02020);
    show::WritePhoto(pictures / "green.bmp", 0x20E020);
    show::WritePhoto(pictures / "blue.bmp", 0x2020E0);
    session.GiveToUser();
    session.SetEnv("QT_QPA_PLATFORM", "wayland");
    session.SetEnv("WAYLAND_DISPLAY", "wayland-0");

    const pid_t pid = session.Start({"tessaview", "/s"}, session.Root() / "show.txt", noBackgrounds);
    ASSERT_GT(pid, 0);
    // The first six photos come at once; two faces of the cube at least face the eye.
    std::array<int, 3> seen{};
    show::Shot shot;
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(500ms);
        shot = show::Screenshot(server->Dpy());
        const auto now = PhotoPixels(shot);
        for (int i = 0; i < 3; ++i)
            seen[i] = std::max(seen[i], now[i]);
        if (std::count_if(seen.begin(), seen.end(), [](int n) { return n > 2000; }) >= 2)
            break;
    }
    const bool shown = std::count_if(seen.begin(), seen.end(), [](int n) { return n > 2000; }) >= 2;
    EXPECT_TRUE(shown) << "photo pixels: " << seen[0] << " " << seen[1] << " " << seen[2];
    if (!shown) {
        shot.Save(show::ShotFolder() / "first-run.ppm");
        std::cerr << "---- show output ----\n" << host::ReadAll(session.Root() / "show.txt");
    }
    // Still running, and it ends when asked (how it ends is the show tests'
    // matter). In its own mount namespace its executable's path may read
    // otherwise than here, so the show is watched as this test's child.
    siginfo_t info{};
    ASSERT_EQ(waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT), 0);
    EXPECT_EQ(info.si_pid, 0) << "the show ended by itself";
    kill(pid, SIGTERM);
    info = {};
    for (int i = 0; i < 250 && info.si_pid == 0; ++i) {
        std::this_thread::sleep_for(20ms);
        waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT);
    }
    EXPECT_EQ(info.si_code, CLD_EXITED) << "no end within 5 s";
    session.Stop(pid);
}
