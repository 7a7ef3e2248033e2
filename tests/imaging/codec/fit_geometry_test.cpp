#include "imaging/codec/fit_geometry.h"

#include <gtest/gtest.h>

TEST(FitInside, ShrinksTheOverflowingSide)
{
    int w = 512, h = 512;
    FitInside(1600, 1200, w, h);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 384);
    w = 512, h = 512;
    FitInside(1200, 1600, w, h);
    EXPECT_EQ(w, 384);
    EXPECT_EQ(h, 512);
    w = 512, h = 512;
    FitInside(2000, 500, w, h);
    EXPECT_EQ(h, 128);
}

TEST(FitInside, SameShapedBoxAndDegenerateInputsStay)
{
    int w = 400, h = 300;
    FitInside(800, 600, w, h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
    w = 400, h = 300;
    FitInside(0, 600, w, h);
    EXPECT_EQ(w, 400);
    w = 0, h = 300;
    FitInside(800, 600, w, h);
    EXPECT_EQ(h, 300);
    // Modes other than 0 always recompute one side.
    w = 512, h = 100;
    FitInside(1600, 1200, w, h, 2);
    EXPECT_EQ(h, 384);
    w = 100, h = 384;
    FitInside(1600, 1200, w, h, 1);
    EXPECT_EQ(w, 512);
}

TEST(CodecFit, LandscapeCropsAQuarterOfTheExcessFromEachSide)
{
    const CodecFit f = ComputeCodecFit(1600, 1200, 512, 512, false, true);
    EXPECT_EQ(f.crop, CropKind::LeftRight);
    EXPECT_EQ(f.cropPixels, 100);
    EXPECT_EQ(f.cropWidth, 1200);
    EXPECT_EQ(f.cropHeight, 1200);
    EXPECT_EQ(f.source, (FitRect{100, 0, 1400, 1200}));
    EXPECT_EQ(f.dest, (FitRect{0, 0, 512, 512}));
}

TEST(CodecFit, PortraitCropsTopAndBottom)
{
    const CodecFit f = ComputeCodecFit(1200, 1600, 512, 512, false, true);
    EXPECT_EQ(f.crop, CropKind::TopBottom);
    EXPECT_EQ(f.cropPixels, 100);
    EXPECT_EQ(f.cropWidth, 1200);
    EXPECT_EQ(f.cropHeight, 1200);
    EXPECT_EQ(f.source, (FitRect{0, 100, 1200, 1400}));
}

TEST(CodecFit, SquarePhotoIsNotCropped)
{
    const CodecFit f = ComputeCodecFit(900, 900, 512, 512, false, true);
    EXPECT_EQ(f.crop, CropKind::None);
    EXPECT_EQ(f.source, (FitRect{0, 0, 900, 900}));
    EXPECT_EQ(f.dest, (FitRect{0, 0, 512, 512}));
}

TEST(CodecFit, KeepAspectCentresWithBands)
{
    CodecFit f = ComputeCodecFit(1600, 1200, 512, 512, true, true);
    EXPECT_EQ(f.crop, CropKind::None);
    EXPECT_EQ(f.dest, (FitRect{0, 64, 512, 384}));
    EXPECT_EQ(f.source, (FitRect{0, 0, 1600, 1200}));
    f = ComputeCodecFit(2000, 500, 512, 512, true, true);
    EXPECT_EQ(f.dest, (FitRect{0, 192, 512, 128}));
    f = ComputeCodecFit(1200, 1600, 512, 512, true, true);
    EXPECT_EQ(f.dest, (FitRect{64, 0, 384, 512}));
}

TEST(CodecFit, UnscaledIsCentredOrCutAtRightAndBottom)
{
    CodecFit f = ComputeCodecFit(300, 200, 512, 512, false, false);
    EXPECT_EQ(f.dest, (FitRect{106, 156, 300, 200}));
    EXPECT_EQ(f.source, (FitRect{0, 0, 300, 200}));
    f = ComputeCodecFit(800, 300, 512, 512, false, false);
    EXPECT_EQ(f.dest, (FitRect{0, 106, 512, 300}));
    EXPECT_EQ(f.source, (FitRect{0, 0, 512, 300}));
}

TEST(CodecFit, ColorRefBecomesOpaqueArgb)
{
    EXPECT_EQ(OpaqueFromColorRef(0x00332211u), 0xFF112233u);
    EXPECT_EQ(OpaqueFromColorRef(0), 0xFF000000u);
}
