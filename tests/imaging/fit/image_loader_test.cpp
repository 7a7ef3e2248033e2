#include "imaging/fit/image_loader.h"

#include "app/profile_store.h"
#include "app/saver_settings.h"
#include "app/test_log.h"
#include "imaging/fit/loader_fixture.h"
#include "imaging/fixture_writers.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/device_bitmap.h"
#include "imaging/own/jpeg_common.h"
#include "imaging/test_images.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace {
struct LoaderFixture : LoaderTest {
    void List(std::vector<std::string> files)
    {
        settings.ImageFiles = files;
        settings.AllImageFiles = std::move(files);
    }
    std::string Jpeg(const std::string& name, int w, int h, Rgb colour = {200, 40, 40}, int orientation = 0)
    {
        const std::string path = dir.File(name);
        WriteJpeg(path, w, h, [colour](int, int) { return colour; }, {90, false, orientation});
        return path;
    }
    int Load(CBitmapEx& target, int size, bool codec = true)
    {
        const int r = LoadNewImage(target, size, settings, codec);
        // Whatever the outcome, another thread can take the lock at once.
        bool taken = false;
        std::thread([&] {
            taken = settings.imageListLock.try_lock();
            if (taken)
                settings.imageListLock.unlock();
        }).join();
        EXPECT_TRUE(taken) << "image-list lock still held";
        return r;
    }
    int Count(const std::string& message) const
    {
        auto m = log.Messages();
        return static_cast<int>(std::count(m.begin(), m.end(), message));
    }
    bool Logged(const std::string& prefix) const
    {
        for (const std::string& m : log.Messages())
            if (m.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
};

// Scans in a JPEG file: its SOS markers (entropy-coded data never holds an
// unstuffed 0xFF 0xDA).
int CountScans(const Bytes& jpeg)
{
    int n = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        n += jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA;
    return n;
}

std::uint32_t At(const CBitmapEx& b, int x, int y) { return b.bitmap->pixels[std::size_t(y) * b.bitmap->width + x]; }

bool Close(std::uint32_t p, std::uint32_t q, int tol = 12)
{
    for (int s = 0; s < 32; s += 8)
        if (std::abs(int((p >> s) & 0xFF) - int((q >> s) & 0xFF)) > tol)
            return false;
    return true;
}

// Throws from the store, as a failing write deep inside the choice would.
class ThrowingStore : public MemoryProfileStore {
public:
    bool WriteProfileInt(std::string_view, std::string_view, int) override { throw std::runtime_error("store"); }
};
} // namespace

TEST_F(LoaderFixture, EmptyListFailsWithItsLine)
{
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), -1);
    EXPECT_EQ(Count("LoadNewImage: File List Empty !"), 1);
    EXPECT_FALSE(target.bitmap);
}

TEST_F(LoaderFixture, OneMissingFileIsTriedTwiceThenFailsToDecode)
{
    const std::string missing = dir.File("gone.jpg");
    List({missing});
    for (bool codec : {true, false}) {
        CBitmapEx target;
        TheLogger().ResetCreated();
        EXPECT_EQ(Load(target, 512, codec), -1);
        EXPECT_EQ(Count("LoadNewImage: Can't find file " + missing + ", skipped"), 2);
        EXPECT_EQ(Count("LoadNewImage: Loading file " + missing), 1);
        EXPECT_TRUE(Logged("Error ")) << "codec " << codec;
        EXPECT_TRUE(Logged(codec ? "Error 10 loading file=" + missing : "Error -1 loading file=" + missing));
        EXPECT_FALSE(target.bitmap);
    }
}

TEST_F(LoaderFixture, RandomOnlyOnTheFirstChoice)
{
    List({dir.File("a.jpg"), dir.File("b.jpg"), dir.File("c.jpg")});
    settings.Random = 1;
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), -1);
    auto m = log.Messages();
    std::vector<std::string> choices;
    for (const std::string& line : m)
        if (line.rfind("ChooseBitmap: ", 0) == 0)
            choices.push_back(line);
    ASSERT_EQ(choices.size(), 4u);
    EXPECT_EQ(choices[0], "ChooseBitmap: GetRandom(3)= " + choices[0].substr(choices[0].size() - 1));
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(choices[i].rfind("ChooseBitmap: Index=", 0), 0u) << choices[i];
    EXPECT_EQ(Count("LoadNewImage: Can't find file " + dir.File("a.jpg") + ", skipped") +
                  Count("LoadNewImage: Can't find file " + dir.File("b.jpg") + ", skipped") +
                  Count("LoadNewImage: Can't find file " + dir.File("c.jpg") + ", skipped"),
              4);
}

TEST_F(LoaderFixture, MissingFileIsSkippedForTheNextOne)
{
    const std::string present = Jpeg("here.jpg", 64, 48);
    List({dir.File("gone.jpg"), present});
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), 0);
    EXPECT_EQ(Count("LoadNewImage: Can't find file " + dir.File("gone.jpg") + ", skipped"), 1);
    EXPECT_EQ(Count("LoadNewImage: Loading file " + present), 1);
    ASSERT_TRUE(target.bitmap);
    EXPECT_EQ(target.width, 64);
}

TEST_F(LoaderFixture, AFileShownBeforeLoadsAgainWithoutAChoice)
{
    const std::string a = Jpeg("a.jpg", 64, 48), b = Jpeg("b.jpg", 32, 32);
    List({a, b});
    CBitmapEx first;
    std::string chosen;
    EXPECT_EQ(LoadNewImage(first, 512, settings, true, &chosen), 0);
    EXPECT_EQ(chosen, a);
    const auto choices = [this] {
        auto m = log.Messages();
        return std::count_if(m.begin(), m.end(), [](const std::string& l) { return l.rfind("ChooseBitmap", 0) == 0; });
    };
    const auto before = choices();
    for (bool codec : {true, false}) {
        CBitmapEx again;
        EXPECT_EQ(LoadImageFile(again, 512, a, settings, codec), 0);
        ASSERT_TRUE(again.bitmap);
        EXPECT_EQ(again.width, 64);
    }
    // The list was not asked: its next photo is still b.
    EXPECT_EQ(choices(), before);
    CBitmapEx next;
    EXPECT_EQ(Load(next, 512), 0);
    EXPECT_EQ(next.width, 32);

    // Gone since: refused with its line, nothing loaded, the lock free again.
    std::remove(a.c_str());
    CBitmapEx gone;
    EXPECT_EQ(LoadImageFile(gone, 512, a, settings, true), -1);
    EXPECT_FALSE(gone.bitmap);
    EXPECT_EQ(Count("LoadImageFile: Can't find file " + a + ", not shown again"), 1);
    EXPECT_TRUE(settings.imageListLock.try_lock());
    settings.imageListLock.unlock();
}

TEST_F(LoaderFixture, EmptyNameLoadsNothing)
{
    List({""});
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), 0);
    EXPECT_FALSE(target.bitmap);
}

TEST_F(LoaderFixture, ExceptionsAreCaughtAndLogged)
{
    ThrowingStore store;
    settings.store = &store;
    settings.SaveLastImage = 1;
    List({Jpeg("a.jpg", 16, 16)});
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), -1);
    EXPECT_EQ(Count("LoadNewBitmap: SEH Exception e0000002, maybe the file loaded is corrupted or in unsupported format"), 1);
    EXPECT_FALSE(target.bitmap);
}

TEST_F(LoaderFixture, CodecPathIgnoresTheExtension)
{
    List({Jpeg("photo.bmp", 40, 30)});
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), 0);
    ASSERT_TRUE(target.bitmap);
    EXPECT_TRUE(Close(At(target, 20, 15), 0xFFC82828u, 16));
    EXPECT_FALSE(target.palette);
}

TEST_F(LoaderFixture, CodecPathRefusesWhatItCannotDecode)
{
    const std::string text = dir.File("notes.png");
    std::ofstream(text) << "plain text";
    List({text});
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), -1);
    EXPECT_TRUE(Logged("Error 13 loading file=" + text));
}

TEST_F(LoaderFixture, BothPathsRefuseEndlessScansAndLoadRealProgressiveFiles)
{
    const Bytes progressive =
        MakeJpeg(320, 240, 3, [](int x, int y) { return std::uint32_t(x % 256) << 16 | std::uint32_t(y % 256) << 8; },
                 90, true);
    const int own = CountScans(progressive);
    ASSERT_GT(own, 1);
    ASSERT_LT(own, 20);
    auto write = [this](const std::string& name, const Bytes& bytes) {
        const std::string path = dir.File(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    };
    // The refinement scans repeated up to the limit, and one past it.
    const Bytes atLimit = WithRepeatedScans(progressive, kMaxJpegScans - own);
    const Bytes pastLimit = WithRepeatedScans(progressive, kMaxJpegScans - own + 1);
    ASSERT_EQ(CountScans(atLimit), kMaxJpegScans);
    const std::string normal = write("progressive.jpg", progressive), full = write("at-limit.jpg", atLimit),
                      past = write("past-limit.jpg", pastLimit);
    for (bool codec : {true, false}) {
        for (const std::string& file : {normal, full}) {
            CBitmapEx target;
            List({file});
            EXPECT_EQ(Load(target, 256, codec), 0) << file << " codec " << codec;
            EXPECT_TRUE(target.bitmap) << file << " codec " << codec;
        }
        CBitmapEx target;
        List({past});
        EXPECT_EQ(Load(target, 256, codec), -1) << "codec " << codec;
        EXPECT_FALSE(target.bitmap);
    }
    // The codec path logs why; the own readers' failure code is their usual one.
    EXPECT_EQ(Count("ResizeBmp_gdiplus: Drawing failed ! Error=1, too many scans (more than " +
                    std::to_string(kMaxJpegScans) + ")"),
              1);
    EXPECT_EQ(Count("Error -7 loading file=" + past), 1);
}

TEST_F(LoaderFixture, OnlyLargerImagesAreFitted)
{
    List({Jpeg("exact.jpg", 512, 300)});
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), 0);
    EXPECT_EQ(target.width, 512);
    EXPECT_EQ(target.height, 300);
    EXPECT_FALSE(Logged("ResizeBmp_gdiplus:"));

    List({Jpeg("wider.jpg", 513, 300)});
    CBitmapEx fitted;
    EXPECT_EQ(Load(fitted, 512), 0);
    EXPECT_EQ(fitted.width, 512);
    EXPECT_EQ(fitted.height, 512);
    EXPECT_EQ(Count("ResizeBmp_gdiplus: New Size=512,512 Stretch=1"), 1);
}

TEST_F(LoaderFixture, ReduceBigOffKeepsTheFullSize)
{
    settings.ReduceBig = 0;
    List({Jpeg("big.jpg", 4000, 3000)});
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512), 0);
    EXPECT_EQ(target.width, 4000);
    EXPECT_EQ(target.height, 3000);
}

TEST_F(LoaderFixture, CropLinesCarryTheFigures)
{
    List({Jpeg("land.jpg", 1600, 1200)});
    CBitmapEx a;
    EXPECT_EQ(Load(a, 512), 0);
    EXPECT_EQ(Count("ResizeBmp_gdiplus: Image Cropped left-right 100 px (1200,1200)"), 1);
    List({Jpeg("port.jpg", 1200, 1600)});
    CBitmapEx b;
    EXPECT_EQ(Load(b, 512), 0);
    EXPECT_EQ(Count("ResizeBmp_gdiplus: Image Cropped top-bottom 100 px (1200,1200)"), 1);
    List({Jpeg("square.jpg", 900, 900)});
    CBitmapEx c;
    EXPECT_EQ(Load(c, 512), 0);
    EXPECT_FALSE(Logged("ResizeBmp_gdiplus: Image Cropped top-bottom 0"));
}

TEST_F(LoaderFixture, KeepAspectBandsAreTransparentKeyOrOpaqueBackColor)
{
    settings.KeepAspectRatio = 1;
    settings.BackColor = 0x00302010;   // blue 0x30, green 0x20, red 0x10
    List({Jpeg("pano.jpg", 2000, 500, {40, 200, 40})});
    for (int transparent : {1, 0}) {
        settings.CubeTransp = transparent;
        CBitmapEx target;
        ASSERT_EQ(Load(target, 512), 0);
        ASSERT_EQ(target.width, 512);
        const std::uint32_t band = transparent ? 0x00FF00FFu : 0xFF102030u;
        EXPECT_EQ(At(target, 10, 0), band);
        EXPECT_EQ(At(target, 500, 191), band);
        EXPECT_EQ(At(target, 500, 320), band);
        EXPECT_TRUE(Close(At(target, 256, 192), 0xFF28C828u, 16));
        EXPECT_TRUE(Close(At(target, 256, 319), 0xFF28C828u, 16));
        EXPECT_EQ(At(target, 256, 256) >> 24, 0xFFu) << "the photo itself is opaque";
    }
}

TEST_F(LoaderFixture, CameraOrientationFollowsAutoRotate)
{
    List({Jpeg("turned.jpg", 600, 300, {90, 90, 90}, 6)});
    CBitmapEx upright;
    ASSERT_EQ(Load(upright, 1000), 0);
    EXPECT_EQ(upright.width, 300);
    EXPECT_EQ(upright.height, 600);
    settings.AutoRotate = 0;
    CBitmapEx stored;
    ASSERT_EQ(Load(stored, 1000), 0);
    EXPECT_EQ(stored.width, 600);
    EXPECT_EQ(stored.height, 300);
}

TEST_F(LoaderFixture, PngLoadsOnTheCodecPath)
{
    const std::string path = dir.File("shot.png");
    QImage png(700, 400, QImage::Format_RGB32);
    png.fill(QColor(10, 20, 250));
    ASSERT_TRUE(png.save(QString::fromStdString(path)));
    List({path});
    CBitmapEx target;
    ASSERT_EQ(Load(target, 512), 0);
    EXPECT_EQ(target.width, 512);
    EXPECT_EQ(At(target, 0, 0), 0xFF0A14FAu);
}

TEST_F(LoaderFixture, OwnReadersPickTheReaderByExtension)
{
    List({Jpeg("upper.JPEG", 64, 32)});
    CBitmapEx target;
    EXPECT_EQ(Load(target, 512, false), 0);
    EXPECT_EQ(Count("LoadNewBitmap: Bitmap Size=64,32"), 1);
    ASSERT_TRUE(target.bitmap);
    EXPECT_EQ(target.width, 64);

    for (const char* name : {"noext", "trailing."}) {
        const std::string path = Jpeg(name, 8, 8);
        List({path});
        CBitmapEx none;
        EXPECT_EQ(Load(none, 512, false), -1);
        EXPECT_EQ(Count("Unexpected file extension: file=" + path + " ext="), 1);
        EXPECT_FALSE(none.bitmap);
    }
    // A JPEG behind a .bmp name fails on the own readers.
    const std::string disguised = Jpeg("photo.bmp", 8, 8);
    List({disguised});
    CBitmapEx bmp;
    EXPECT_EQ(Load(bmp, 512, false), -1);
    EXPECT_TRUE(Logged("Error "));
}

TEST_F(LoaderFixture, OwnReadersFillNearSquarePhotosAndLetterBoxTheRest)
{
    settings.BackColor = 0x00302010;
    settings.CubeTransp = 1;   // plays no part on this path
    struct Case { int w, h; bool bands; };
    for (Case c : {Case{1600, 1200, false}, Case{1350, 1000, false}, Case{730, 1000, false},
                   Case{2000, 1000, true}}) {
        List({Jpeg("p" + std::to_string(c.w) + ".jpg", c.w, c.h, {40, 200, 40})});
        CBitmapEx target;
        ASSERT_EQ(Load(target, 512, false), 0);
        ASSERT_TRUE(target.bitmap);
        ASSERT_EQ(target.width, 512);
        ASSERT_EQ(target.height, 512);
        const std::uint32_t corner = At(target, 0, 0), middle = At(target, 256, 256);
        EXPECT_TRUE(Close(middle, 0xFF28C828u, 16)) << c.w << "x" << c.h;
        if (c.bands) {
            EXPECT_EQ(corner, 0xFF102030u);
            EXPECT_EQ(At(target, 256, 127), 0xFF102030u);
            EXPECT_TRUE(Close(At(target, 256, 128), 0xFF28C828u, 16));
            EXPECT_TRUE(Close(At(target, 256, 383), 0xFF28C828u, 16));
            EXPECT_EQ(At(target, 256, 384), 0xFF102030u);
        } else {
            EXPECT_TRUE(Close(corner, 0xFF28C828u, 16)) << c.w << "x" << c.h;
        }
        EXPECT_EQ(Count("ResizeBmp: New Size=512,512 Stretch=1"), 1);
        TheLogger().ResetCreated();
    }
}
