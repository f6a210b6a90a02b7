#include "platform/d3d8/opengl_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <thread>

#include "platform/d3d8/gl_fixed_function.h"
#include "platform/d3d8/png_file.h"
#include "platform/d3d8/texture.h"
#include "platform/win32/files.h"

namespace d3d8 {
namespace {

// The refresh rate of the window's display mode; 0 when SDL does not know it.
int WindowRefreshRate(SDL_Window* window) {
    SDL_DisplayMode mode{};
    if (SDL_GetWindowDisplayMode(window, &mode) == 0 && mode.refresh_rate > 0) {
        return mode.refresh_rate;
    }
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    return SDL_GetDesktopDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST:
            return GL_POINTS;
        case D3DPT_LINELIST:
            return GL_LINES;
        case D3DPT_LINESTRIP:
            return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP:
            return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN:
            return GL_TRIANGLE_FAN;
        default:
            return GL_TRIANGLES;
    }
}

// Vertices an indexed draw reads: up to its largest index.
template <class Index>
UINT VerticesUsed(const void* indices, UINT count) {
    const Index* values = static_cast<const Index*>(indices);
    return count == 0 ? 0 : static_cast<UINT>(*std::max_element(values, values + count)) + 1;
}

// Direct3D colours are B, G, R, A bytes in memory; OpenGL 2.1 wants R, G, B, A.
DWORD SwapRedAndBlue(DWORD colour) {
    return (colour & 0xFF00FF00u) | ((colour >> 16) & 0xFFu) | ((colour & 0xFFu) << 16);
}

DWORD ReadDword(const BYTE* bytes) {
    DWORD value;
    std::copy_n(bytes, sizeof(value), reinterpret_cast<BYTE*>(&value));
    return value;
}

Uint32 SdlFormatOf(D3DFORMAT format) {
    return format == D3DFMT_R5G6B5 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
}

}  // namespace

bool KeepPresentedFrames(IDirect3DDevice8* device) {
    auto* openGL = dynamic_cast<OpenGLDevice*>(device);
    if (openGL != nullptr) {
        openGL->KeepFrames();
    }
    return openGL != nullptr;
}

const PresentedFrame* LastPresentedFrame(IDirect3DDevice8* device) {
    const auto* openGL = dynamic_cast<const OpenGLDevice*>(device);
    return openGL != nullptr ? openGL->LastFrame() : nullptr;
}

HRESULT OpenGLDevice::Create(Direct3DBase& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation,
                             const D3DPRESENT_PARAMETERS& presentation, SDL_Window* window,
                             IDirect3DDevice8** device) {
    auto* created = new OpenGLDevice(direct3D, creation, presentation, window);
    const HRESULT result = created->Initialise();
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    *device = created;
    return D3D_OK;
}

OpenGLDevice::OpenGLDevice(Direct3DBase& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation,
                           const D3DPRESENT_PARAMETERS& presentation, SDL_Window* window)
    : DeviceBase(direct3D, creation, presentation),
      m_window(window),
      m_screenshotPath(win32::GetEnvironmentVariable("ZUMBO_SCREENSHOT")) {
    m_keepFrames = !m_screenshotPath.empty();
}

OpenGLDevice::~OpenGLDevice() {
    if (!m_screenshotPath.empty() && LastFrame() != nullptr) {
        WritePng(m_screenshotPath, m_frame);
    }
    if (m_context != nullptr) {
        MakeCurrent();
        m_backBuffer.reset();
        glDeleteTextures(1, &m_whiteTexture);
        SDL_GL_DeleteContext(m_context);
    }
}

HRESULT OpenGLDevice::Initialise() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    m_context = SDL_GL_CreateContext(m_window);
    if (m_context == nullptr) {
        return D3DERR_NOTAVAILABLE;
    }
    MakeCurrent();
    if (!m_api.Load()) {
        return D3DERR_NOTAVAILABLE;
    }
    m_backBuffer.emplace(m_api);
    static constexpr DWORD kWhite = 0xFFFFFFFFu;
    glGenTextures(1, &m_whiteTexture);
    glBindTexture(GL_TEXTURE_2D, m_whiteTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &kWhite);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return ApplyPresentation(Presentation());
}

void OpenGLDevice::MakeCurrent() {
    if (SDL_GL_GetCurrentContext() != m_context) {
        SDL_GL_MakeCurrent(m_window, m_context);
    }
}

HRESULT OpenGLDevice::ApplyPresentation(const D3DPRESENT_PARAMETERS& presentation) {
    const int width = static_cast<int>(presentation.BackBufferWidth);
    const int height = static_cast<int>(presentation.BackBufferHeight);
    if (presentation.Windowed) {
        if (SDL_SetWindowFullscreen(m_window, 0) != 0) {
            return D3DERR_NOTAVAILABLE;
        }
    } else {
        const SDL_DisplayMode wanted{SdlFormatOf(presentation.BackBufferFormat), width, height,
                                     static_cast<int>(presentation.FullScreen_RefreshRateInHz), nullptr};
        SDL_DisplayMode closest{};
        const int display = std::max(0, SDL_GetWindowDisplayIndex(m_window));
        if (SDL_GetClosestDisplayMode(display, &wanted, &closest) == nullptr ||
            SDL_SetWindowDisplayMode(m_window, &closest) != 0 ||
            SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN) != 0) {
            return D3DERR_NOTAVAILABLE;
        }
    }
    MakeCurrent();
    m_shadow.ForgetAll();
    // A screen saver runs for hours: presentation waits for the display, through the driver's
    // vsync where it is honoured and the pacer where it is not. The deterministic fast clock of
    // the tests runs unpaced.
    const bool unpaced = win32::GetEnvironmentVariable("ZUMBO_FAST_CLOCK") == "1" ||
                         (!presentation.Windowed &&
                          presentation.FullScreen_PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE);
    SDL_GL_SetSwapInterval(unpaced ? 0 : 1);
    m_pacer = PresentPacer(WindowRefreshRate(m_window), !unpaced);
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GL_GetDrawableSize(m_window, &windowWidth, &windowHeight);
    const D3DFORMAT format = presentation.BackBufferFormat;
    const bool alpha = format == D3DFMT_A8R8G8B8 || format == D3DFMT_A1R5G5B5 || format == D3DFMT_A4R4G4B4;
    return m_backBuffer->Create(width, height, windowWidth, windowHeight, alpha, presentation.Windowed != 0)
               ? D3D_OK
               : D3DERR_OUTOFVIDEOMEMORY;
}

HRESULT OpenGLDevice::OnReset(const D3DPRESENT_PARAMETERS& presentation) {
    return ApplyPresentation(presentation);
}

void OpenGLDevice::ForgetTexture(Texture& texture) {
    if (texture.backEndName != 0) {
        MakeCurrent();
        DeleteTextureName(texture);
        // Deleting unbinds the name, and OpenGL may hand it out again for another texture.
        m_shadow.ForgetAll();
    }
}

void OpenGLDevice::ClearRegion(const D3DRECT& region, GLbitfield buffers) {
    const D3DVIEWPORT8& viewport = State().Viewport();
    const LONG left = std::max<LONG>(region.x1, static_cast<LONG>(viewport.X));
    const LONG top = std::max<LONG>(region.y1, static_cast<LONG>(viewport.Y));
    const LONG right = std::min<LONG>(region.x2, static_cast<LONG>(viewport.X + viewport.Width));
    const LONG bottom = std::min<LONG>(region.y2, static_cast<LONG>(viewport.Y + viewport.Height));
    if (left >= right || top >= bottom) {
        return;
    }
    const auto backBufferHeight = static_cast<LONG>(Presentation().BackBufferHeight);
    glScissor(left, backBufferHeight - bottom, right - left, bottom - top);
    glClear(buffers);
}

void OpenGLDevice::OnClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                           DWORD stencil) {
    MakeCurrent();
    GLbitfield buffers = 0;
    if (flags & D3DCLEAR_TARGET) {
        buffers |= GL_COLOR_BUFFER_BIT;
        SetColourMask(m_shadow, true, true, true, true);
        GLfloat rgba[4];
        ColourToFloats(color, rgba);
        glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        buffers |= GL_DEPTH_BUFFER_BIT;
        SetDepthMask(m_shadow, true);
        glClearDepth(z);
    }
    if (flags & D3DCLEAR_STENCIL) {
        buffers |= GL_STENCIL_BUFFER_BIT;
        SetStencilMask(m_shadow, 0xFFFFFFFFu);
        glClearStencil(static_cast<GLint>(stencil));
    }
    glEnable(GL_SCISSOR_TEST);
    // Clearing covers the viewport, cut to the rectangles when there are any.
    const D3DRECT whole{0, 0, static_cast<LONG>(Presentation().BackBufferWidth),
                        static_cast<LONG>(Presentation().BackBufferHeight)};
    if (count == 0) {
        ClearRegion(whole, buffers);
    }
    for (DWORD index = 0; index < count; ++index) {
        ClearRegion(rects[index], buffers);
    }
    glDisable(GL_SCISSOR_TEST);
}

void OpenGLDevice::EnableClientArray(GLenum array, std::uint32_t unit, bool enabled) {
    if (!m_shadow.Changed(GlSlot::ClientArray, array + unit, enabled)) {
        return;
    }
    if (enabled) {
        glEnableClientState(array);
    } else {
        glDisableClientState(array);
    }
}

bool OpenGLDevice::PointerChanged(GLenum array, std::uint32_t unit, GLint size, GLsizei stride,
                                  const BYTE* pointer) {
    return m_shadow.Changed(GlSlot::ArrayPointer, array + unit, size, stride, pointer);
}

void OpenGLDevice::BindVertexArrays(const DrawCall& draw, UINT stages) {
    const VertexLayout& layout = draw.layout;
    const auto stride = static_cast<GLsizei>(draw.stride);
    EnableClientArray(GL_VERTEX_ARRAY, 0, true);
    if (PointerChanged(GL_VERTEX_ARRAY, 0, 3, stride, draw.vertices)) {
        glVertexPointer(3, GL_FLOAT, stride, draw.vertices);
    }
    const bool normals = layout.normal != kAbsent;
    EnableClientArray(GL_NORMAL_ARRAY, 0, normals);
    if (normals) {
        // Drawing from a normal array leaves the current normal undefined.
        m_shadow.Forget(GlSlot::CurrentNormal, 0);
        if (PointerChanged(GL_NORMAL_ARRAY, 0, 3, stride, draw.vertices + layout.normal)) {
            glNormalPointer(GL_FLOAT, stride, draw.vertices + layout.normal);
        }
    } else if (m_shadow.Changed(GlSlot::CurrentNormal, 0, 0.0f)) {
        glNormal3f(0.0f, 0.0f, 0.0f);
    }
    if (layout.diffuse != kAbsent) {
        const UINT used = draw.indices == nullptr ? draw.vertexCount
                          : draw.wideIndices      ? VerticesUsed<std::uint32_t>(draw.indices, draw.indexCount)
                                             : VerticesUsed<std::uint16_t>(draw.indices, draw.indexCount);
        m_colours.resize(used);
        for (UINT vertex = 0; vertex < used; ++vertex) {
            m_colours[vertex] =
                SwapRedAndBlue(ReadDword(draw.vertices + vertex * draw.stride + layout.diffuse));
        }
        EnableClientArray(GL_COLOR_ARRAY, 0, true);
        m_shadow.Forget(GlSlot::CurrentColour, 0);
        if (PointerChanged(GL_COLOR_ARRAY, 0, 4, 0, reinterpret_cast<const BYTE*>(m_colours.data()))) {
            glColorPointer(4, GL_UNSIGNED_BYTE, 0, m_colours.data());
        }
    } else {
        EnableClientArray(GL_COLOR_ARRAY, 0, false);
        if (m_shadow.Changed(GlSlot::CurrentColour, 0, 1.0f)) {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        }
    }
    const auto units = static_cast<UINT>(m_api.textureUnits);
    for (UINT stage = 0; stage < std::min<UINT>(units, kTextureStageCount); ++stage) {
        m_api.ClientActiveTexture(GL_TEXTURE0 + stage);
        const DWORD set = State().TextureStageState(stage, D3DTSS_TEXCOORDINDEX) & 0xFFFF;
        const bool used = stage < stages && set < layout.texCoordSets;
        EnableClientArray(GL_TEXTURE_COORD_ARRAY, stage, used);
        if (!used) {
            continue;
        }
        const auto size = static_cast<GLint>(layout.texCoordFloats[set]);
        const BYTE* coordinates = draw.vertices + layout.texCoords[set];
        if (PointerChanged(GL_TEXTURE_COORD_ARRAY, stage, size, stride, coordinates)) {
            glTexCoordPointer(size, GL_FLOAT, stride, coordinates);
        }
    }
    m_api.ClientActiveTexture(GL_TEXTURE0);
}

HRESULT OpenGLDevice::OnDraw(const DrawCall& draw) {
    MakeCurrent();
    const GlDrawContext context{
        m_api, m_shadow, State(), draw.layout, Presentation().BackBufferHeight, m_whiteTexture};
    const UINT stages = ApplyFixedFunction(context);
    BindVertexArrays(draw, stages);
    const auto count = static_cast<GLsizei>(draw.indexCount);
    if (draw.indices == nullptr) {
        glDrawArrays(PrimitiveMode(draw.type), 0, count);
    } else {
        glDrawElements(PrimitiveMode(draw.type), count,
                       draw.wideIndices ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, draw.indices);
    }
    return D3D_OK;
}

void OpenGLDevice::KeepFrame() {
    const UINT width = Presentation().BackBufferWidth;
    const UINT height = Presentation().BackBufferHeight;
    std::vector<DWORD> bottomUp(static_cast<std::size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_BGRA, GL_UNSIGNED_BYTE,
                 bottomUp.data());
    m_frame.width = width;
    m_frame.height = height;
    m_frame.pixels.resize(bottomUp.size());
    // The back buffer's alpha means nothing on screen.
    for (UINT row = 0; row < height; ++row) {
        const DWORD* source = bottomUp.data() + static_cast<std::size_t>(height - 1 - row) * width;
        std::transform(source, source + width,
                       m_frame.pixels.begin() + static_cast<std::ptrdiff_t>(row) * width,
                       [](DWORD pixel) { return pixel | 0xFF000000u; });
    }
}

HRESULT OpenGLDevice::OnPresent() {
    MakeCurrent();
    if (m_keepFrames) {
        KeepFrame();
    }
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GL_GetDrawableSize(m_window, &windowWidth, &windowHeight);
    m_backBuffer->CopyToWindow(windowWidth, windowHeight);
    SDL_GL_SwapWindow(m_window);
    std::this_thread::sleep_for(m_pacer.WaitAfterPresent(PresentPacer::Clock::now()));
    return D3D_OK;
}

}  // namespace d3d8
