#pragma once
// The transform arithmetic of the renderer, in the row-vector convention: a
// point p is transformed as p x M, so W = R x T turns first and then moves.
// The projection maps depth into 0..w; only the device layer converts that
// (and the winding) to what OpenGL expects.
#include <array>

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct Vec4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

struct Mat4 {
    // m[row][column]
    std::array<std::array<float, 4>, 4> m{};

    static Mat4 Identity();
    const float* Data() const { return &m[0][0]; }
};

Mat4 operator*(const Mat4& a, const Mat4& b);
// p x M for the point (p, 1).
Vec4 TransformPoint(const Vec3& p, const Mat4& m);

// Roll about Z, then pitch about X, then yaw about Y.
Mat4 RotationYawPitchRoll(float yaw, float pitch, float roll);
Mat4 Translation(float x, float y, float z);
// Left-handed perspective: rows (xs,0,0,0), (0,ys,0,0), (0,0,zf/(zf-zn),1), (0,0,-zn*zf/(zf-zn),0).
Mat4 PerspectiveFovLH(float fovY, float aspect, float zn, float zf);
