#pragma once
// The cube's motion: spin rates, drift per frame, depth bounds, and the
// per-frame steps that bounce the cube off the sides of the view and between
// its depth bounds. Every product is formed in 32-bit floats.
#include "render/cube_geometry.h"
#include "render/d3d_math.h"

#include <array>
#include <cstdint>

class CSaverSettings;

struct CubeMotion {
    Vec3 spinRate;      // radians per second about X, Y, Z
    Vec3 velocity;      // world units per frame
    Vec3 position;      // cube centre
    float zMin = 0.0f;
    float zMax = 0.0f;
    bool keepUpright = false;
    int uprightPair = 0;

    // Rates, speeds and depth bounds from the settings; position at the depth middle.
    static CubeMotion FromSettings(const CSaverSettings& settings);

    // Seconds since start from two readings of a wrapping millisecond clock.
    static float Seconds(std::uint32_t now, std::uint32_t start);
    // W = R x T for the time t in seconds and the current position.
    Mat4 World(float t) const;

    // Reverses X or Y drift when face clip flags show the cube leaving the view
    // in the direction it moves; true when any side was touched.
    bool ReverseAtEdges(std::uint32_t faceClipFlags);
    // The front-pass tests of all six faces, in order, each seeing the velocity as
    // the faces before it left it. True when any face touched a side.
    bool TestFaces(const CubeVertices& vertices, const Mat4& worldViewProj);
    // Reverses depth drift beyond the bounds (tested before the move).
    void BounceDepth();
    void Move();
    // The upright step of a frame: when no face touched a side and upright keeping
    // is on, re-orients the current pair and advances to the next. True when
    // texture coordinates changed.
    bool KeepPhotosUpright(bool hitEdge, CubeVertices& vertices,
                           const std::array<bool, kFaceCount>& facePhoto, const Mat4& worldViewProj);
};
