// The real executable with captions: its loader thread draws them inside the
// running show, in the user's locale, and without the setting nothing of
// captions happens.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "imaging/exif_fixtures.h"
#include "imaging/test_images.h"
#include "support/show_harness.h"

#include <csignal>
#include <thread>

using namespace std::chrono_literals;
using namespace show;
namespace fs = std::filesystem;

TEST(CaptionShow, TheLoaderThreadWritesTheDateAndFolderInTheUsersLocale)
{
    auto server = XServer::Virtual(1024, 768);
    ASSERT_TRUE(server) << "Xvfb did not start";
    Show show(*server);
    const fs::path photos = show.Folder() / "photos";
    fs::create_directories(photos / "2019" / "Rome");
    WriteJpeg((photos / "2019" / "Rome" / "forum.jpg").string(), 800, 600,
              [](int x, int) { return Rgb{200, std::uint8_t(x / 4), 60}; },
              {90, false, 0, false, ExifBlock({0, "", "2019:03:12 14:30:00"})});
    show.SetImageFolder(photos);
    show.settings["Settings"]["Delay"] = "1";
    show.settings["Settings"]["Random"] = "0";

    show.settings["Settings"]["Caption"] = "2";
    show.Start({"/s"}, {{"LC_ALL", "de_DE.UTF-8"}});
    EXPECT_TRUE(show.WaitForLog("DrawCaption: \"12. M\u00e4rz 2019 \u00b7 2019/Rome\"", 30s));
    // The photo on the turning cube, kept to be looked at: its faces carry the band.
    EXPECT_TRUE(show.WaitForLog("Create texture succeeded", 10s));
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(Screenshot(server->Dpy()).Save(ScreenshotFolder() / "caption-show.ppm"));
    show.Signal(SIGTERM);
    ASSERT_TRUE(show.Wait(20s).has_value());

    show.settings["Settings"].erase("Caption");
    show.Start({"/s"}, {{"LC_ALL", "de_DE.UTF-8"}});
    EXPECT_TRUE(show.WaitForLog("LoadNewImage: Loading file", 30s));
    std::this_thread::sleep_for(1500ms);
    show.Signal(SIGTERM);
    ASSERT_TRUE(show.Wait(20s).has_value());
    EXPECT_EQ(show.CountLog("DrawCaption"), 0);
}
