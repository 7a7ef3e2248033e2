// Geometry, motion and orientation arithmetic of the cube scene.
#include "app/saver_settings.h"
#include "render/cube_geometry.h"
#include "render/cube_motion.h"
#include "render/d3d_math.h"
#include "render/dx_graphics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

Mat4 View(const CubeMotion& m, float t)
{
    return m.World(t) * DXGraphics::Projection(800, 600);
}

TEST(CubeGeometry, FacesFollowTheTableAndWindClockwiseFromOutside)
{
    const CubeVertices v = BuildCubeVertices(false);
    // Face 0, local 0 and 3; face 3, local 1; face 5, local 2.
    EXPECT_FLOAT_EQ(v[0].x, -0.5f);
    EXPECT_FLOAT_EQ(v[0].y, 0.5f);
    EXPECT_FLOAT_EQ(v[0].z, -0.5f);
    EXPECT_FLOAT_EQ(v[3].x, 0.5f);
    EXPECT_FLOAT_EQ(v[3].y, -0.5f);
    EXPECT_FLOAT_EQ(v[13].x, 0.5f);
    EXPECT_FLOAT_EQ(v[13].z, 0.5f);
    EXPECT_FLOAT_EQ(v[22].x, 0.5f);
    EXPECT_FLOAT_EQ(v[22].y, -0.5f);
    EXPECT_FLOAT_EQ(v[22].z, -0.5f);
    const float uv[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
    for (int i = 0; i < kCubeVertexCount; ++i) {
        EXPECT_EQ(v[i].diffuse, 0xFFFFFFFFu);
        EXPECT_EQ(v[i].u, uv[i % 4][0]);
        EXPECT_EQ(v[i].v, uv[i % 4][1]);
    }
    // Seen from outside (along the inward normal), local 0 -> 1 -> 2 turns clockwise.
    for (int f = 0; f < kFaceCount; ++f) {
        const CubeVertex &a = v[4 * f], &b = v[4 * f + 1], &c = v[4 * f + 2];
        const float e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z}, e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
        const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const float centre[3] = {(a.x + v[4 * f + 3].x) / 2, (a.y + v[4 * f + 3].y) / 2, (a.z + v[4 * f + 3].z) / 2};
        // In this left-handed frame the cross product of a turn that is clockwise to
        // the viewer points back at the viewer, that is outward.
        EXPECT_GT(n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2], 0.0f) << "face " << f;
    }
}

TEST(CubeGeometry, FloatingFacesLeaveGapsButKeepTheirPlanes)
{
    const CubeVertices v = BuildCubeVertices(true);
    EXPECT_FLOAT_EQ(v[0].x, -0.42f);
    EXPECT_FLOAT_EQ(v[0].y, 0.42f);
    EXPECT_FLOAT_EQ(v[0].z, -0.5f);
    EXPECT_FLOAT_EQ(v[8].x, -0.5f);
    EXPECT_FLOAT_EQ(v[8].z, 0.42f);
    EXPECT_FLOAT_EQ(v[16].y, 0.5f);
}

TEST(Projection, RowsOfTheLeftHandedPerspective)
{
    const Mat4 p = DXGraphics::Projection(800, 600);
    const float ys = 1.0f / std::tan(0.7853982f / 2.0f);
    EXPECT_FLOAT_EQ(p.m[1][1], ys);
    EXPECT_FLOAT_EQ(p.m[0][0], ys / 1.3333334f);
    EXPECT_FLOAT_EQ(p.m[2][2], 100.0f / 99.0f);
    EXPECT_FLOAT_EQ(p.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(p.m[3][2], -100.0f / 99.0f);
    EXPECT_EQ(p.m[3][3], 0.0f);
    // Depth runs 0..w between the near and far planes.
    const Vec4 nearPoint = TransformPoint({0, 0, 1}, p), farPoint = TransformPoint({0, 0, 100}, p);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-6);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-6);
}

TEST(Rotation, RollThenPitchThenYaw)
{
    const Mat4 r = RotationYawPitchRoll(0.3f, 0.0f, 0.0f);
    // Yaw turns +X toward -Z (rows of Ry).
    const Vec4 x = TransformPoint({1, 0, 0}, r);
    EXPECT_FLOAT_EQ(x.x, std::cos(0.3f));
    EXPECT_FLOAT_EQ(x.z, -std::sin(0.3f));
    // Roll acts first: +X rolled by 90 degrees becomes +Y, which pitch then turns toward +Z.
    const Vec4 y = TransformPoint({1, 0, 0}, RotationYawPitchRoll(0.0f, 0.5f, 1.5707964f));
    EXPECT_NEAR(y.x, 0.0f, 1e-6);
    EXPECT_NEAR(y.y, std::cos(0.5f), 1e-6);
    EXPECT_NEAR(y.z, std::sin(0.5f), 1e-6);
}

TEST(CubeMotion, DefaultSettingsGiveTheSpecifiedRatesAndBounds)
{
    CSaverSettings s;
    const CubeMotion m = CubeMotion::FromSettings(s);
    EXPECT_FLOAT_EQ(m.spinRate.x, 0.3490656f);
    EXPECT_FLOAT_EQ(m.spinRate.y, 0.5235984f);
    EXPECT_FLOAT_EQ(m.spinRate.z, 0.1745328f);
    EXPECT_FLOAT_EQ(m.velocity.x, 0.012f);
    EXPECT_FLOAT_EQ(m.velocity.y, 0.001f);
    EXPECT_EQ(m.velocity.z, 0.0f);
    EXPECT_FLOAT_EQ(m.zMin, 2.9787877f);
    EXPECT_FLOAT_EQ(m.zMax, 4.4434347f);
    EXPECT_FLOAT_EQ(m.position.z, 3.7111111f);
    EXPECT_FALSE(m.keepUpright);
}

TEST(CubeMotion, CubeSizeExtremesAndNegativeSpin)
{
    CSaverSettings s;
    s.CubeSize = 0;
    CubeMotion m = CubeMotion::FromSettings(s);
    EXPECT_FLOAT_EQ(m.zMin, 5.1f);
    EXPECT_FLOAT_EQ(m.zMax, 10.1f);
    EXPECT_FLOAT_EQ(m.position.z, 7.6f);
    s.CubeSize = 99;
    s.SpinX = -40;
    s.KeepUpright = 1;
    m = CubeMotion::FromSettings(s);
    EXPECT_EQ(m.zMin, 2.0999999f);
    EXPECT_EQ(m.zMax, 2.1000004f);
    EXPECT_FLOAT_EQ(m.spinRate.x, -0.3490656f);
    EXPECT_TRUE(m.keepUpright);
}

TEST(CubeMotion, AnglesAtTwoSecondsDependOnTheClockOnly)
{
    CSaverSettings s;
    CubeMotion m = CubeMotion::FromSettings(s);
    m.position = {0, 0, 0};
    // The millisecond clock wraps between start and now.
    const float t = CubeMotion::Seconds(1500u, 0xFFFFFFFFu - 499u);
    EXPECT_FLOAT_EQ(t, 2.0f);
    const Mat4 expected = RotationYawPitchRoll(1.0471967f, 0.6981312f, 0.3490656f);
    const Mat4 w = m.World(t);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(w.m[i][j], expected.m[i][j], 1e-6) << i << "," << j;
}

TEST(CubeMotion, WorldTurnsAboutTheCubeCentre)
{
    CubeMotion m;
    m.spinRate = {0.0f, 1.5707964f, 0.0f};
    m.position = {1.0f, 2.0f, 5.0f};
    const Vec4 c = TransformPoint({0, 0, 0}, m.World(1.0f));
    EXPECT_FLOAT_EQ(c.x, 1.0f);
    EXPECT_FLOAT_EQ(c.y, 2.0f);
    EXPECT_FLOAT_EQ(c.z, 5.0f);
}

TEST(ClipFlags, SideCodesPerVertexInClipSpace)
{
    EXPECT_EQ(ClipCodes({-2, 0, 0.5f, 1}), CLIP_LEFT);
    EXPECT_EQ(ClipCodes({2, 0, 0.5f, 1}), CLIP_RIGHT);
    EXPECT_EQ(ClipCodes({0, 2, 0.5f, 1}), CLIP_TOP);
    EXPECT_EQ(ClipCodes({0, -2, 0.5f, 1}), CLIP_BOTTOM);
    EXPECT_EQ(ClipCodes({1, -1, 0.5f, 1}), 0u);
    EXPECT_EQ(ClipCodes({3, 3, 0.5f, 1}), CLIP_RIGHT | CLIP_TOP);
}

TEST(EdgeReversal, ReversesOnceAtTheRightEdgeAndNotAgainAfterward)
{
    CSaverSettings s;
    CubeMotion m = CubeMotion::FromSettings(s);
    m.spinRate = {};
    const CubeVertices v = BuildCubeVertices(false);
    // Centred: nothing touches a side.
    EXPECT_FALSE(m.TestFaces(v, View(m, 0)));
    EXPECT_FLOAT_EQ(m.velocity.x, 0.012f);
    // Pushed out at the right while moving right: several faces touch, X reverses once.
    m.position.x = 2.0f;
    EXPECT_GT(FaceClipFlags(v, 3, View(m, 0)) & CLIP_RIGHT, 0u);
    EXPECT_TRUE(m.TestFaces(v, View(m, 0)));
    EXPECT_FLOAT_EQ(m.velocity.x, -0.012f);
    EXPECT_FLOAT_EQ(m.velocity.y, 0.001f);
    // Still out at the right, now moving left: left alone.
    EXPECT_TRUE(m.TestFaces(v, View(m, 0)));
    EXPECT_FLOAT_EQ(m.velocity.x, -0.012f);
    // Left edge while moving left, and the top while moving up.
    m.position = {-2.0f, 1.6f, m.position.z};
    EXPECT_TRUE(m.TestFaces(v, View(m, 0)));
    EXPECT_FLOAT_EQ(m.velocity.x, 0.012f);
    EXPECT_FLOAT_EQ(m.velocity.y, -0.001f);
    // Bottom while moving down.
    m.position = {0.0f, -1.6f, m.position.z};
    EXPECT_TRUE(m.TestFaces(v, View(m, 0)));
    EXPECT_FLOAT_EQ(m.velocity.y, 0.001f);
}

TEST(DepthBounds, ReversesOnlyBeyondABoundWhileMovingOutward)
{
    CubeMotion m;
    m.zMin = 3.0f;
    m.zMax = 4.0f;
    const struct {
        float z, vz, expected;
    } cases[] = {
        {2.9f, -0.1f, 0.1f},   // below zMin, toward the eye: reverses
        {2.9f, 0.1f, 0.1f},    // below zMin, already going away
        {4.1f, 0.1f, -0.1f},   // beyond zMax, moving away: reverses
        {4.1f, -0.1f, -0.1f},
        {3.5f, 0.1f, 0.1f},    // inside: nothing
        {3.5f, -0.1f, -0.1f},
    };
    for (const auto& c : cases) {
        m.position.z = c.z;
        m.velocity.z = c.vz;
        m.BounceDepth();
        EXPECT_FLOAT_EQ(m.velocity.z, c.expected) << c.z << " " << c.vz;
    }
    // The move comes after the test and is per frame.
    m.position = {0, 0, 3.5f};
    m.velocity = {0.012f, 0.001f, 0.1f};
    m.Move();
    EXPECT_FLOAT_EQ(m.position.x, 0.012f);
    EXPECT_FLOAT_EQ(m.position.y, 0.001f);
    EXPECT_FLOAT_EQ(m.position.z, 3.6f);
}

TEST(BottomEdge, LowestVertexThenTheLowestOfTheOthersEarlierWinningTies)
{
    auto edge = [](float a, float b, float c, float d) {
        const BottomEdge e = FindBottomEdge({a, b, c, d});
        return std::make_pair(e.b, e.s);
    };
    EXPECT_EQ(edge(10, 5, 1, 0), std::make_pair(0, 1));
    EXPECT_EQ(edge(0, 1, 5, 10), std::make_pair(3, 2));
    EXPECT_EQ(edge(5, 0, 10, 1), std::make_pair(2, 0));
    EXPECT_EQ(edge(1, 10, 0, 5), std::make_pair(1, 3));
    // Ties: the earlier vertex keeps its place.
    EXPECT_EQ(edge(5, 5, 5, 5), std::make_pair(0, 1));
    EXPECT_EQ(edge(1, 7, 7, 0), std::make_pair(1, 2));
}

TEST(UprightTable, EveryBottomEdgePutsTheTextureBottomRowThere)
{
    const FaceTexCoords expectP[4] = {
        {{{1, 1}, {0, 1}, {1, 0}, {0, 0}}},   // {0,1}
        {{{0, 1}, {0, 0}, {1, 1}, {1, 0}}},   // {0,2}
        {{{1, 0}, {1, 1}, {0, 0}, {0, 1}}},   // {1,3}
        {{{0, 0}, {1, 0}, {0, 1}, {1, 1}}},   // {2,3}
    };
    const FaceTexCoords expectOpposite[4] = {
        {{{1, 1}, {0, 1}, {1, 0}, {0, 0}}},
        {{{1, 0}, {1, 1}, {0, 0}, {0, 1}}},
        {{{0, 1}, {0, 0}, {1, 1}, {1, 0}}},
        {{{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
    };
    const BottomEdge edges[4] = {{1, 0}, {0, 2}, {3, 1}, {2, 3}};
    for (int i = 0; i < 4; ++i) {
        FaceTexCoords c;
        ASSERT_TRUE(UprightTexCoords(edges[i], false, c));
        EXPECT_EQ(c, expectP[i]) << i;
        // The bottom vertices carry v = 1.
        EXPECT_EQ(c[edges[i].b][1], 1.0f);
        EXPECT_EQ(c[edges[i].s][1], 1.0f);
        ASSERT_TRUE(UprightTexCoords(edges[i], true, c));
        EXPECT_EQ(c, expectOpposite[i]) << i;
    }
    FaceTexCoords c;
    EXPECT_FALSE(UprightTexCoords({0, 3}, false, c));
    EXPECT_FALSE(UprightTexCoords({2, 1}, true, c));
}

TEST(OrientFacePair, RewritesOnlyPhotoFacesOfThePair)
{
    CubeMotion m;
    m.position = {0, 0, 4};
    // Upside down about Z: face 0's local row 0-1 is now at the bottom of the screen.
    m.spinRate = {0, 0, 3.1415927f};
    CubeVertices v = BuildCubeVertices(false);
    const CubeVertices original = v;
    std::array<bool, kFaceCount> photo{};
    EXPECT_FALSE(OrientFacePair(v, 0, photo, View(m, 1.0f)));
    EXPECT_EQ(0, std::memcmp(&v, &original, sizeof v));
    photo[0] = true;
    EXPECT_TRUE(OrientFacePair(v, 0, photo, View(m, 1.0f)));
    EXPECT_EQ(v[0].v, 1.0f);
    EXPECT_EQ(v[1].v, 1.0f);
    EXPECT_EQ(v[2].v, 0.0f);
    EXPECT_EQ(v[0].u, 1.0f);
    // Face 1 has no photo and keeps the built coordinates.
    for (int k = 4; k < 8; ++k) {
        EXPECT_EQ(v[k].u, original[k].u);
        EXPECT_EQ(v[k].v, original[k].v);
    }
}

TEST(KeepUpright, AFrameTouchingASideChangesNothingAndDoesNotAdvance)
{
    CubeMotion m;
    m.position = {0, 0, 4};
    m.spinRate = {0, 0, 3.1415927f};
    m.keepUpright = true;
    CubeVertices v = BuildCubeVertices(false);
    const CubeVertices original = v;
    std::array<bool, kFaceCount> photo{};
    photo.fill(true);
    EXPECT_FALSE(m.KeepPhotosUpright(true, v, photo, View(m, 1.0f)));
    EXPECT_EQ(m.uprightPair, 0);
    EXPECT_EQ(0, std::memcmp(&v, &original, sizeof v));
    // Without contact the pair is treated and the next one comes up: 0, 2, 4, 0.
    EXPECT_TRUE(m.KeepPhotosUpright(false, v, photo, View(m, 1.0f)));
    EXPECT_EQ(m.uprightPair, 2);
    m.KeepPhotosUpright(false, v, photo, View(m, 1.0f));
    m.KeepPhotosUpright(false, v, photo, View(m, 1.0f));
    EXPECT_EQ(m.uprightPair, 0);
    // Off: nothing at all.
    m.keepUpright = false;
    EXPECT_FALSE(m.KeepPhotosUpright(false, v, photo, View(m, 1.0f)));
    EXPECT_EQ(m.uprightPair, 0);
}

TEST(ClearColour, WindowsColourBecomesOpaqueArgb)
{
    EXPECT_EQ(DXGraphics::ClearColour(0x000000FF), 0xFFFF0000u);
    EXPECT_EQ(DXGraphics::ClearColour(0x00FF0000), 0xFF0000FFu);
    EXPECT_EQ(DXGraphics::ClearColour(0x00123456), 0xFF563412u);
    EXPECT_EQ(DXGraphics::ClearColour(0), 0xFF000000u);
}

} // namespace
