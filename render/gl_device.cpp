#include "render/gl_device.h"

#include "render/adapter_choice.h"
#include "render/mipmaps.h"

#include <QOpenGLBuffer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QWindow>

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace {

// ES 2.0 compatible. The renderer's projection gives depth in 0..w; OpenGL clips
// it to -w..w, so it is stretched here.
const char* kVertexShader = R"(
attribute vec3 a_position;
attribute vec4 a_colour;
attribute vec2 a_uv;
uniform mat4 u_worldViewProj;
varying vec4 v_colour;
varying vec2 v_uv;
void main()
{
    vec4 c = u_worldViewProj * vec4(a_position, 1.0);
    gl_Position = vec4(c.x, c.y, 2.0 * c.z - c.w, c.w);
    v_colour = a_colour;
    v_uv = a_uv;
}
)";

// Colour: the filtered texel. Alpha: the texel's times the vertex's, or the vertex's.
const char* kFragmentShaderTextureAlpha = R"(
uniform sampler2D u_texture;
uniform mediump float u_hasTexture;
varying mediump vec4 v_colour;
varying mediump vec2 v_uv;
void main()
{
    mediump vec4 t = u_hasTexture > 0.5 ? texture2D(u_texture, v_uv) : vec4(1.0);
    gl_FragColor = vec4(t.rgb, t.a * v_colour.a);
}
)";

const char* kFragmentShaderVertexAlpha = R"(
uniform sampler2D u_texture;
uniform mediump float u_hasTexture;
varying mediump vec4 v_colour;
varying mediump vec2 v_uv;
void main()
{
    mediump vec4 t = u_hasTexture > 0.5 ? texture2D(u_texture, v_uv) : vec4(1.0);
    gl_FragColor = vec4(t.rgb, v_colour.a);
}
)";

enum Attribute { kPosition = 0, kColour = 1, kUv = 2 };

// GL_EXT_texture_filter_anisotropic (core in OpenGL 4.6 under the same values).
constexpr GLenum kTextureMaxAnisotropy = 0x84FE;
constexpr GLenum kMaxTextureMaxAnisotropy = 0x84FF;
// Enough for a face turning through steep angles; more shows nothing more.
constexpr float kAnisotropyLimit = 8.0f;

} // namespace

const char* DeviceResultName(std::uint32_t result)
{
    switch (result) {
    case DEVICE_OK:
        return "DEVICE_OK";
    case DEVICEERR_NOTAVAILABLE:
        return "DEVICEERR_NOTAVAILABLE";
    case DEVICEERR_NOCONTEXT:
        return "DEVICEERR_NOCONTEXT";
    case DEVICEERR_INVALIDCALL:
        return "DEVICEERR_INVALIDCALL";
    default:
        return "Unknown";
    }
}

GlDevice::GlDevice() = default;

GlDevice::~GlDevice()
{
    Release();
}

bool GlDevice::CreateContext(QWindow* window)
{
    if (!window || window->surfaceType() != QSurface::OpenGLSurface)
        return false;
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(window->requestedFormat());
    if (!context->create())
        return false;
    window_ = window;
    context_ = std::move(context);
    return true;
}

bool GlDevice::MakeCurrent()
{
    if (!context_ || !window_ || !window_->handle())
        return false;
    return context_->makeCurrent(window_);
}

std::uint32_t GlDevice::CheckDeviceType(DeviceType type)
{
    if (!MakeCurrent())
        return DEVICEERR_NOCONTEXT;
    if (renderer_.empty()) {
        auto* f = context_->functions();
        const auto* name = reinterpret_cast<const char*>(f->glGetString(GL_RENDERER));
        renderer_ = name ? name : "";
        f->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
        if (maxTextureSize_ <= 0)
            maxTextureSize_ = 2048;
    }
    if (type == DeviceType::Hal && IsReferenceRasteriser(renderer_))
        return DEVICEERR_NOTAVAILABLE;
    return DEVICE_OK;
}

std::uint32_t GlDevice::CreateDevice(DeviceType type, bool textureAlpha)
{
    const std::uint32_t check = CheckDeviceType(type);
    if (check != DEVICE_OK)
        return check;
    gl_ = context_->functions();
    auto program = std::make_unique<QOpenGLShaderProgram>();
    if (!program->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
        !program->addShaderFromSourceCode(QOpenGLShader::Fragment,
                                          textureAlpha ? kFragmentShaderTextureAlpha : kFragmentShaderVertexAlpha))
        return DEVICEERR_INVALIDCALL;
    program->bindAttributeLocation("a_position", kPosition);
    program->bindAttributeLocation("a_colour", kColour);
    program->bindAttributeLocation("a_uv", kUv);
    if (!program->link() || !program->bind())
        return DEVICEERR_INVALIDCALL;
    matrixLocation_ = program->uniformLocation("u_worldViewProj");
    hasTextureLocation_ = program->uniformLocation("u_hasTexture");
    program->setUniformValue("u_texture", 0);
    program_ = std::move(program);

    // Blending: colour x alpha + frame x (1 - alpha); the frame's own alpha stays opaque.
    gl_->glDisable(GL_DEPTH_TEST);
    gl_->glEnable(GL_BLEND);
    gl_->glBlendEquation(GL_FUNC_ADD);
    gl_->glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    gl_->glFrontFace(GL_CCW);
    gl_->glEnable(GL_CULL_FACE);
    gl_->glActiveTexture(GL_TEXTURE0);
    UpdateTransform();

    // Mipmaps of any size need full support of textures that are not powers of
    // two (OpenGL 2.0, or ES with the extension).
    canMipmap_ = gl_->hasOpenGLFeature(QOpenGLFunctions::NPOTTextureRepeat);
    minify_ = canMipmap_ ? Minify::Trilinear : Minify::Bilinear;
    anisotropy_ = 1.0f;
    if (!IsCpuRasteriser(renderer_) && (context_->hasExtension("GL_EXT_texture_filter_anisotropic") ||
                                           context_->hasExtension("GL_ARB_texture_filter_anisotropic"))) {
        GLfloat most = 1.0f;
        gl_->glGetFloatv(kMaxTextureMaxAnisotropy, &most);
        anisotropy_ = std::clamp(most, 1.0f, kAnisotropyLimit);
    }
    return DEVICE_OK;
}

void GlDevice::SetTextureMinify(Minify minify)
{
    minify_ = minify == Minify::Trilinear && canMipmap_ ? Minify::Trilinear : Minify::Bilinear;
}

void GlDevice::Release()
{
    // Without a current context the objects go with the context itself.
    const bool current = context_ && MakeCurrent();
    if (current)
        ReleaseVertexBuffer();
    vertexBuffer_.reset();
    program_.reset();
    gl_ = nullptr;
    if (current)
        context_->doneCurrent();
    context_.reset();
    window_ = nullptr;
}

bool GlDevice::CreateVertexBuffer(const CubeVertices& vertices)
{
    if (!program_)
        return false;
    auto buffer = std::make_unique<QOpenGLBuffer>(QOpenGLBuffer::VertexBuffer);
    if (!buffer->create())
        return false;
    buffer->setUsagePattern(QOpenGLBuffer::StaticDraw);
    buffer->bind();
    buffer->allocate(vertices.data(), int(sizeof vertices));
    program_->enableAttributeArray(kPosition);
    program_->enableAttributeArray(kColour);
    program_->enableAttributeArray(kUv);
    gl_->glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, sizeof(CubeVertex),
                               reinterpret_cast<void*>(offsetof(CubeVertex, x)));
    gl_->glVertexAttribPointer(kColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(CubeVertex),
                               reinterpret_cast<void*>(offsetof(CubeVertex, diffuse)));
    gl_->glVertexAttribPointer(kUv, 2, GL_FLOAT, GL_FALSE, sizeof(CubeVertex),
                               reinterpret_cast<void*>(offsetof(CubeVertex, u)));
    vertexBuffer_ = std::move(buffer);
    return true;
}

void GlDevice::UpdateVertexBuffer(const CubeVertices& vertices)
{
    if (vertexBuffer_ && vertexBuffer_->bind())
        vertexBuffer_->write(0, vertices.data(), int(sizeof vertices));
}

void GlDevice::ReleaseVertexBuffer()
{
    if (vertexBuffer_)
        vertexBuffer_->destroy();
    vertexBuffer_.reset();
}

void GlDevice::SetWorld(const Mat4& world)
{
    world_ = world;
    UpdateTransform();
}

void GlDevice::SetProjection(const Mat4& projection)
{
    projection_ = projection;
    UpdateTransform();
}

void GlDevice::UpdateTransform()
{
    // The view stays the identity: the eye at the origin looking along +Z.
    worldViewProj_ = world_ * projection_;
    // Row-major data read as column-major is the transpose, which is what the
    // column-vector shader needs for p x M.
    if (gl_ && program_)
        gl_->glUniformMatrix4fv(matrixLocation_, 1, GL_FALSE, worldViewProj_.Data());
}

void GlDevice::Clear(std::uint32_t argb)
{
    if (!gl_ || !window_)
        return;
    const qreal ratio = window_->devicePixelRatio();
    gl_->glViewport(0, 0, int(window_->width() * ratio), int(window_->height() * ratio));
    gl_->glClearColor(float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f,
                      float(argb & 0xFF) / 255.0f, float(argb >> 24) / 255.0f);
    gl_->glClear(GL_COLOR_BUFFER_BIT);
}

void GlDevice::SetCull(Cull cull)
{
    // Both conventions put clip-space +Y at the top of the screen, so a triangle
    // that turns clockwise on screen does so in OpenGL's window space too; under
    // glFrontFace(GL_CCW) it is a back face.
    if (gl_)
        gl_->glCullFace(cull == Cull::Clockwise ? GL_BACK : GL_FRONT);
}

void GlDevice::SetTexture(unsigned texture)
{
    if (!gl_)
        return;
    gl_->glBindTexture(GL_TEXTURE_2D, texture);
    gl_->glUniform1f(hasTextureLocation_, texture ? 1.0f : 0.0f);
}

void GlDevice::DrawFace(int face)
{
    if (gl_ && vertexBuffer_)
        gl_->glDrawArrays(GL_TRIANGLE_STRIP, 4 * face, 4);
}

void GlDevice::Present()
{
    if (context_ && window_)
        context_->swapBuffers(window_);
}

unsigned GlDevice::CreateTexture(const TexturePixels& pixels)
{
    if (!gl_ || pixels.width <= 0 || pixels.height <= 0 ||
        pixels.rgba.size() < std::size_t(pixels.width) * std::size_t(pixels.height) * 4)
        return 0;
    GLuint id = 0;
    gl_->glGenTextures(1, &id);
    if (!id)
        return 0;
    gl_->glBindTexture(GL_TEXTURE_2D, id);
    const bool mipmaps = minify_ == Minify::Trilinear;
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (mipmaps && anisotropy_ > 1.0f)
        gl_->glTexParameterf(GL_TEXTURE_2D, kTextureMaxAnisotropy, anisotropy_);
    gl_->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl_->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, pixels.width, pixels.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                      pixels.rgba.data());
    if (mipmaps) {
        // Levels made ahead are only copied; others are made here.
        std::vector<TexturePixels> made;
        const bool ahead = IsMipmapChainOf(pixels, pixels.mipmaps);
        if (!ahead)
            made = MipmapsOf(pixels);
        const std::vector<TexturePixels>& levels = ahead ? pixels.mipmaps : made;
        for (std::size_t i = 0; i < levels.size(); ++i)
            gl_->glTexImage2D(GL_TEXTURE_2D, GLint(i + 1), GL_RGBA, levels[i].width, levels[i].height, 0, GL_RGBA,
                              GL_UNSIGNED_BYTE, levels[i].rgba.data());
    }
    if (gl_->glGetError() != GL_NO_ERROR) {
        gl_->glDeleteTextures(1, &id);
        return 0;
    }
    return id;
}

void GlDevice::DeleteTexture(unsigned texture)
{
    if (gl_ && texture) {
        GLuint id = texture;
        gl_->glDeleteTextures(1, &id);
    }
}

std::vector<std::uint32_t> GlDevice::ReadBackBuffer(int& width, int& height)
{
    width = height = 0;
    if (!gl_ || !window_)
        return {};
    const qreal ratio = window_->devicePixelRatio();
    width = int(window_->width() * ratio);
    height = int(window_->height() * ratio);
    std::vector<std::uint8_t> rgba(std::size_t(width) * std::size_t(height) * 4);
    gl_->glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl_->glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    std::vector<std::uint32_t> out(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rgba.data() + std::size_t(height - 1 - y) * std::size_t(width) * 4;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = row + std::size_t(x) * 4;
            out[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                0xFF000000u | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
        }
    }
    return out;
}
