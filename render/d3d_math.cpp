#include "render/d3d_math.h"

#include <cmath>

Mat4 Mat4::Identity()
{
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        r.m[i][i] = 1.0f;
    return r;
}

Mat4 operator*(const Mat4& a, const Mat4& b)
{
    Mat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k)
                s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

Vec4 TransformPoint(const Vec3& p, const Mat4& m)
{
    const auto& r = m.m;
    return {p.x * r[0][0] + p.y * r[1][0] + p.z * r[2][0] + r[3][0],
            p.x * r[0][1] + p.y * r[1][1] + p.z * r[2][1] + r[3][1],
            p.x * r[0][2] + p.y * r[1][2] + p.z * r[2][2] + r[3][2],
            p.x * r[0][3] + p.y * r[1][3] + p.z * r[2][3] + r[3][3]};
}

namespace {

Mat4 RotationX(float a)
{
    Mat4 r = Mat4::Identity();
    const float c = std::cos(a), s = std::sin(a);
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Mat4 RotationY(float a)
{
    Mat4 r = Mat4::Identity();
    const float c = std::cos(a), s = std::sin(a);
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Mat4 RotationZ(float a)
{
    Mat4 r = Mat4::Identity();
    const float c = std::cos(a), s = std::sin(a);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

} // namespace

Mat4 RotationYawPitchRoll(float yaw, float pitch, float roll)
{
    return RotationZ(roll) * RotationX(pitch) * RotationY(yaw);
}

Mat4 Translation(float x, float y, float z)
{
    Mat4 r = Mat4::Identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Mat4 PerspectiveFovLH(float fovY, float aspect, float zn, float zf)
{
    const float ys = 1.0f / std::tan(fovY / 2.0f);
    const float xs = ys / aspect;
    Mat4 r;
    r.m[0][0] = xs;
    r.m[1][1] = ys;
    r.m[2][2] = zf / (zf - zn);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zn * zf / (zf - zn);
    return r;
}
