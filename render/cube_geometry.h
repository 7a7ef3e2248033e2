#pragma once
// The cube's vertex table, the per-face clip test and the upright re-orientation
// of the photos. Plain arithmetic: the device only draws what this computes.
#include "render/d3d_math.h"

#include <array>
#include <cstdint>

// One vertex of the cube buffer: position, diffuse colour, texture coordinates.
struct CubeVertex {
    float x, y, z;
    std::uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(CubeVertex) == 24);

constexpr int kFaceCount = 6;
constexpr int kCubeVertexCount = 4 * kFaceCount;
using CubeVertices = std::array<CubeVertex, kCubeVertexCount>;

// Edge gap of each face when the faces float apart.
constexpr float kFloatGap = 0.08f;

// Faces 0..5 (z = -0.5, z = +0.5, x = -0.5, x = +0.5, y = +0.5, y = -0.5),
// four vertices each, wound clockwise seen from outside.
CubeVertices BuildCubeVertices(bool cubeFloat);

// Side codes of a vertex in clip space.
enum ClipCode : std::uint32_t {
    CLIP_LEFT = 1,
    CLIP_RIGHT = 2,
    CLIP_TOP = 4,
    CLIP_BOTTOM = 8,
};
std::uint32_t ClipCodes(const Vec4& clip);
// The union of the side codes of face f's four vertices under `worldViewProj`.
std::uint32_t FaceClipFlags(const CubeVertices& vertices, int face, const Mat4& worldViewProj);

// The local vertices (b, s) of a face's edge lowest on screen, by the rule:
// b the lowest vertex, s the lowest of the others, earlier vertices winning ties.
// `screenY` grows downward.
struct BottomEdge {
    int b = 0;
    int s = -1;
};
BottomEdge FindBottomEdge(const std::array<float, 4>& screenY);

// Texture coordinates (u, v) of local vertices 0..3 that put the bottom row of the
// texture along the bottom edge {b, s}; `opposite` selects the row for face p + 1.
// False for a diagonal, which changes nothing.
using FaceTexCoords = std::array<std::array<float, 2>, 4>;
bool UprightTexCoords(BottomEdge edge, bool opposite, FaceTexCoords& out);

// Re-orients the photo faces of pair p (0, 2 or 4) for the transform of the frame
// just drawn. Only faces with `facePhoto` are rewritten; true when anything changed.
bool OrientFacePair(CubeVertices& vertices, int p, const std::array<bool, kFaceCount>& facePhoto,
                    const Mat4& worldViewProj);
