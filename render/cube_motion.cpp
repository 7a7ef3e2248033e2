#include "render/cube_motion.h"

#include "app/saver_settings.h"

CubeMotion CubeMotion::FromSettings(const CSaverSettings& s)
{
    CubeMotion m;
    const float spin = 0.00872664f;
    m.spinRate = {float(s.SpinX) * spin, float(s.SpinY) * spin, float(s.SpinZ) * spin};
    m.velocity = {float(s.SpeedX) * 0.0002f, float(s.SpeedY) * 0.00005f, float(s.SpeedZ) * 0.00008333333f};
    m.zMin = 5.1f - float(s.CubeSize) * 0.030303031f;
    m.zMax = 10.1f - float(s.CubeSize) * 0.08080808f;
    m.keepUpright = s.KeepUpright != 0;
    m.position = {0.0f, 0.0f, (m.zMin + m.zMax) * 0.5f};
    m.uprightPair = 0;
    return m;
}

float CubeMotion::Seconds(std::uint32_t now, std::uint32_t start)
{
    return float(now - start) * 0.001f;
}

Mat4 CubeMotion::World(float t) const
{
    const Mat4 r = RotationYawPitchRoll(t * spinRate.y, t * spinRate.x, t * spinRate.z);
    return r * Translation(position.x, position.y, position.z);
}

bool CubeMotion::ReverseAtEdges(std::uint32_t c)
{
    if (((c & CLIP_RIGHT) && velocity.x > 0.0f) || ((c & CLIP_LEFT) && velocity.x < 0.0f))
        velocity.x = velocity.x * -1.0f;
    if (((c & CLIP_TOP) && velocity.y > 0.0f) || ((c & CLIP_BOTTOM) && velocity.y < 0.0f))
        velocity.y = velocity.y * -1.0f;
    return (c & (CLIP_LEFT | CLIP_RIGHT | CLIP_TOP | CLIP_BOTTOM)) != 0;
}

bool CubeMotion::TestFaces(const CubeVertices& vertices, const Mat4& worldViewProj)
{
    bool hitEdge = false;
    for (int f = 0; f < kFaceCount; ++f)
        hitEdge |= ReverseAtEdges(FaceClipFlags(vertices, f, worldViewProj));
    return hitEdge;
}

void CubeMotion::BounceDepth()
{
    if (position.z < zMin && velocity.z < 0.0f)
        velocity.z = velocity.z * -1.0f;
    if (position.z > zMax && velocity.z > 0.0f)
        velocity.z = velocity.z * -1.0f;
}

void CubeMotion::Move()
{
    position.x += velocity.x;
    position.y += velocity.y;
    position.z += velocity.z;
}

bool CubeMotion::KeepPhotosUpright(bool hitEdge, CubeVertices& vertices,
                                   const std::array<bool, kFaceCount>& facePhoto, const Mat4& worldViewProj)
{
    if (hitEdge || !keepUpright)
        return false;
    const bool changed = OrientFacePair(vertices, uprightPair, facePhoto, worldViewProj);
    uprightPair = (uprightPair + 2) % 6;
    return changed;
}
