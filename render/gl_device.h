#pragma once
// The small 3D device the renderer draws with, on OpenGL through Qt: one
// context on the saver window, one back buffer, no depth buffer, one static
// vertex buffer of cube faces drawn as triangle strips, 32-bit textures, and the
// texture and blend states of device creation. Transforms and culling are given
// in the renderer's own conventions (row vectors, depth 0..w, culling by
// clockwise or counter-clockwise screen winding); the conversion to OpenGL
// happens here only.
#include "render/cube_geometry.h"
#include "render/d3d_math.h"
#include "render/texture_pixels.h"

#include <QPointer>
#include <QWindow>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QOpenGLContext;
class QOpenGLShaderProgram;
class QOpenGLBuffer;
class QOpenGLFunctions;

enum class DeviceType { Hal, Ref };

// Result codes of this layer, with symbolic names for log lines.
enum DeviceResult : std::uint32_t {
    DEVICE_OK = 0,
    DEVICEERR_NOTAVAILABLE = 0x88760001u,   // the renderer cannot serve this device type
    DEVICEERR_NOCONTEXT = 0x88760002u,      // the context cannot be made current on the window
    DEVICEERR_INVALIDCALL = 0x88760003u,    // the drawing program failed to build
};
const char* DeviceResultName(std::uint32_t result);

enum class Cull { Clockwise, CounterClockwise };

// How a texture is sampled where the face shows it smaller than it is. A photo
// of 960 pixels on a face of 300 shimmers as the cube turns unless it is
// uploaded with its smaller levels and they are blended (trilinear, with
// anisotropic filtering on a hardware renderer that has it).
enum class Minify { Bilinear, Trilinear };

class GlDevice {
public:
    GlDevice();
    ~GlDevice();
    GlDevice(const GlDevice&) = delete;
    GlDevice& operator=(const GlDevice&) = delete;

    // The context bound to `window` (which has an OpenGL surface); false when none.
    bool CreateContext(QWindow* window);
    bool HasContext() const { return context_ != nullptr; }
    // Whether this device type can render into the window.
    std::uint32_t CheckDeviceType(DeviceType type);
    // Builds the program and sets the fixed states. `textureAlpha`: the pixel's
    // alpha is the texel's times the vertex alpha, else the vertex alpha.
    std::uint32_t CreateDevice(DeviceType type, bool textureAlpha);
    bool HasDevice() const { return program_ != nullptr; }
    // Releases the device objects, then the context.
    void Release();

    // False when the window or its native surface is gone.
    bool MakeCurrent();
    std::string RendererName() const { return renderer_; }
    int MaxTextureSize() const { return maxTextureSize_; }

    bool CreateVertexBuffer(const CubeVertices& vertices);
    void UpdateVertexBuffer(const CubeVertices& vertices);
    void ReleaseVertexBuffer();
    bool HasVertexBuffer() const { return vertexBuffer_ != nullptr; }

    void SetWorld(const Mat4& world);
    void SetProjection(const Mat4& projection);
    const Mat4& WorldViewProjection() const { return worldViewProj_; }

    void Clear(std::uint32_t argb);
    // Culling names the screen winding that is NOT drawn.
    void SetCull(Cull cull);
    // 0: no texture (the face shows its vertex colour).
    void SetTexture(unsigned texture);
    void DrawFace(int face);
    void Present();

    unsigned CreateTexture(const TexturePixels& pixels);
    void DeleteTexture(unsigned texture);
    // Trilinear wherever the context can make the smaller levels of any size,
    // from CreateDevice on. Textures keep the sampling they were made with.
    Minify TextureMinify() const { return minify_; }
    // Bilinear serves as the reference of the comparisons; Trilinear is taken
    // only where the context can do it.
    void SetTextureMinify(Minify minify);
    // The anisotropy textures are made with; 1 when the driver offers none, and
    // on a software rasteriser, where it would cost twice the frame time.
    float Anisotropy() const { return anisotropy_; }

    // The back buffer as ARGB, top row first (call before Present).
    std::vector<std::uint32_t> ReadBackBuffer(int& width, int& height);

private:
    void UpdateTransform();

    // The window belongs to the saver window code and may go first.
    QPointer<QWindow> window_;
    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOpenGLShaderProgram> program_;
    std::unique_ptr<QOpenGLBuffer> vertexBuffer_;
    QOpenGLFunctions* gl_ = nullptr;
    std::string renderer_;
    int maxTextureSize_ = 2048;
    Mat4 world_ = Mat4::Identity();
    Mat4 projection_ = Mat4::Identity();
    Mat4 worldViewProj_ = Mat4::Identity();
    int matrixLocation_ = -1;
    int hasTextureLocation_ = -1;
    bool canMipmap_ = false;
    Minify minify_ = Minify::Bilinear;
    float anisotropy_ = 1.0f;
};
