// tessaview-image, the loader as the show runs it, against a file whose
// header claims far more pixels than it holds: refused on both decode paths
// at once, without setting the claimed gigabyte aside.
#include "support/support.h"

#include "imaging/exif_fixtures.h"
#include "imaging/test_images.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
struct ToolRun {
    int exitCode = -1;
    long peakKb = 0;
    double seconds = 0;
    std::string output;
};

ToolRun RunTool(const std::vector<std::string>& args, const fs::path& outputFile,
             std::map<std::string, std::optional<std::string>> env = {})
{
    ToolRun run;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> argv{TSV_IMAGE_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t pid = support::StartChild(argv, {.output = outputFile, .env = std::move(env)});
    rusage usage{};
    if (auto status = support::WaitChild(pid, std::chrono::seconds(60), &usage)) {
        run.exitCode = support::ExitCode(*status);
        run.peakKb = usage.ru_maxrss;
    } else {
        support::StopChild(pid);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.output = support::ReadAll(outputFile);
    return run;
}
} // namespace

TEST(ImageTool, AGigabyteClaimInSixtyBytesIsRefusedOnBothPaths)
{
    support::TempFolder dir("tool");
    // 16384 x 16384 pixels of 32 bits, uncompressed: 1 GiB claimed, 6 bytes held.
    std::vector<std::uint8_t> bmp = {'B', 'M', 60, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                     0, 0x40, 0, 0, 0, 0x40, 0, 0, 1, 0, 32, 0};
    bmp.resize(60, 0);
    const fs::path file = dir / "claim.bmp";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));

    struct Path {
        const char* option;
        const char* logged;
    };
    for (const Path& path : {Path{"--no-rotate", "Error 3 loading file="}, Path{"--own-readers", "Error -2 loading file="}}) {
        ToolRun run = RunTool({path.option, "--no-output", file.string()}, dir / "output.txt");
        EXPECT_EQ(run.exitCode, 1) << path.option << "\n" << run.output;
        EXPECT_NE(run.output.find(path.logged), std::string::npos) << path.option << "\n" << run.output;
        // The tool itself with Qt loaded needs some tens of megabytes.
        EXPECT_LT(run.peakKb, 100 * 1024) << path.option;
        EXPECT_LT(run.seconds, 3.0) << path.option;
        std::printf("%s: peak %ld KB, %.2f s\n", path.option, run.peakKb, run.seconds);
    }
}

// The caption as the show draws it, in the user's locale (taken from the
// environment as on a desktop, whatever locales the system has installed).
TEST(ImageTool, CaptionSpeaksTheUsersLanguage)
{
    support::TempFolder dir("tool");
    fs::create_directories(dir / "2019" / "Rom");
    const fs::path photo = dir / "2019" / "Rom" / "forum.jpg";
    WriteJpeg(photo.string(), 640, 480, [](int, int) { return Rgb{128, 128, 128}; },
              {90, false, 0, false, ExifBlock({0, "", "2019:03:12 14:30:00"})});
    const struct {
        const char* locale;
        const char* line;
    } cases[] = {{"de_DE.UTF-8", "DrawCaption: \"12. M\u00e4rz 2019 \u00b7 2019/Rom\""},
                 {"en_US.UTF-8", "DrawCaption: \"March 12, 2019 \u00b7 2019/Rom\""}};
    for (const auto& c : cases) {
        const fs::path png = dir / "forum.png";
        ToolRun run = RunTool({"--caption", "2", "--image-folder", dir.Path().string(), "--size", "256", "--output",
                               png.string(), photo.string()},
                              dir / "output.txt", {{"LC_ALL", c.locale}, {"LANG", c.locale}});
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find(c.line), std::string::npos) << run.output;
        const QImage image(QString::fromStdString(png.string()));
        ASSERT_EQ(image.size(), QSize(256, 256));
        EXPECT_LT(qGray(image.pixel(4, 252)), 100);    // the band
        EXPECT_NEAR(qGray(image.pixel(4, 4)), 128, 4); // the photo
    }
    EXPECT_EQ(RunTool({"--caption", "4", photo.string()}, dir / "output.txt").exitCode, 2);
}
