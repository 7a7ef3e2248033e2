#include "render/cube_geometry.h"

#include <utility>

CubeVertices BuildCubeVertices(bool cubeFloat)
{
    const float g = cubeFloat ? kFloatGap : 0.0f;
    const float a = 0.5f - g;
    const float h = 0.5f;
    const Vec3 table[kFaceCount][4] = {
        {{-a, a, -h}, {a, a, -h}, {-a, -a, -h}, {a, -a, -h}},
        {{a, a, h}, {-a, a, h}, {a, -a, h}, {-a, -a, h}},
        {{-h, a, a}, {-h, a, -a}, {-h, -a, a}, {-h, -a, -a}},
        {{h, a, -a}, {h, a, a}, {h, -a, -a}, {h, -a, a}},
        {{-a, h, a}, {a, h, a}, {-a, h, -a}, {a, h, -a}},
        {{a, -h, a}, {-a, -h, a}, {a, -h, -a}, {-a, -h, -a}},
    };
    const float uv[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
    CubeVertices out{};
    for (int f = 0; f < kFaceCount; ++f)
        for (int k = 0; k < 4; ++k) {
            const Vec3& p = table[f][k];
            out[4 * f + k] = {p.x, p.y, p.z, 0xFFFFFFFFu, uv[k][0], uv[k][1]};
        }
    return out;
}

std::uint32_t ClipCodes(const Vec4& c)
{
    std::uint32_t codes = 0;
    if (c.x < -c.w)
        codes |= CLIP_LEFT;
    if (c.x > c.w)
        codes |= CLIP_RIGHT;
    if (c.y > c.w)
        codes |= CLIP_TOP;
    if (c.y < -c.w)
        codes |= CLIP_BOTTOM;
    return codes;
}

std::uint32_t FaceClipFlags(const CubeVertices& vertices, int face, const Mat4& worldViewProj)
{
    std::uint32_t flags = 0;
    for (int k = 0; k < 4; ++k) {
        const CubeVertex& v = vertices[4 * face + k];
        flags |= ClipCodes(TransformPoint({v.x, v.y, v.z}, worldViewProj));
    }
    return flags;
}

BottomEdge FindBottomEdge(const std::array<float, 4>& screenY)
{
    BottomEdge e;
    float sValue = -1e10f;
    for (int k = 1; k < 4; ++k) {
        if (screenY[k] > screenY[e.b]) {
            e.s = e.b;
            sValue = screenY[e.b];
            e.b = k;
        } else if (screenY[k] > sValue) {
            e.s = k;
            sValue = screenY[k];
        }
    }
    return e;
}

bool UprightTexCoords(BottomEdge edge, bool opposite, FaceTexCoords& out)
{
    int lo = std::min(edge.b, edge.s), hi = std::max(edge.b, edge.s);
    if (lo == 0 && hi == 1)
        out = {{{1, 1}, {0, 1}, {1, 0}, {0, 0}}};
    else if (lo == 0 && hi == 2)
        out = {{{0, 1}, {0, 0}, {1, 1}, {1, 0}}};
    else if (lo == 1 && hi == 3)
        out = {{{1, 0}, {1, 1}, {0, 0}, {0, 1}}};
    else if (lo == 2 && hi == 3)
        out = {{{0, 0}, {1, 0}, {0, 1}, {1, 1}}};
    else
        return false;
    // The opposite face's columns are mirrored: an edge along a local column
    // needs every coordinate flipped there.
    const bool column = (lo == 0 && hi == 2) || (lo == 1 && hi == 3);
    if (opposite && column)
        for (auto& c : out)
            c = {1.0f - c[0], 1.0f - c[1]};
    return true;
}

bool OrientFacePair(CubeVertices& vertices, int p, const std::array<bool, kFaceCount>& facePhoto,
                    const Mat4& worldViewProj)
{
    // Screen y grows downward, so it orders as the negated y / w of clip space.
    std::array<float, 4> screenY{};
    for (int k = 0; k < 4; ++k) {
        const CubeVertex& v = vertices[4 * p + k];
        const Vec4 c = TransformPoint({v.x, v.y, v.z}, worldViewProj);
        screenY[k] = -(c.y / c.w);
    }
    const BottomEdge edge = FindBottomEdge(screenY);
    bool changed = false;
    for (int f = p; f <= p + 1; ++f) {
        FaceTexCoords coords;
        if (!facePhoto[f] || !UprightTexCoords(edge, f != p, coords))
            continue;
        for (int k = 0; k < 4; ++k) {
            vertices[4 * f + k].u = coords[k][0];
            vertices[4 * f + k].v = coords[k][1];
        }
        changed = true;
    }
    return changed;
}
