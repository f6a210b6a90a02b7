#pragma once
// The device of the OpenGL back end: an OpenGL 2.1 compatibility context on an SDL window.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/d3d8/device_base.h"
#include "platform/d3d8/gl_api.h"
#include "platform/d3d8/gl_back_buffer.h"
#include "platform/d3d8/gl_state_shadow.h"
#include "platform/d3d8/opengl_frame.h"
#include "platform/d3d8/present_pacer.h"

struct SDL_Window;

namespace d3d8 {

class OpenGLDevice : public DeviceBase {
public:
    static HRESULT Create(Direct3DBase& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation,
                          const D3DPRESENT_PARAMETERS& presentation, SDL_Window* window,
                          IDirect3DDevice8** device);
    ~OpenGLDevice() override;

    void KeepFrames() { m_keepFrames = true; }
    const PresentedFrame* LastFrame() const { return m_frame.pixels.empty() ? nullptr : &m_frame; }

    void ForgetTexture(Texture& texture) override;

protected:
    void OnClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                 DWORD stencil) override;
    HRESULT OnDraw(const DrawCall& draw) override;
    HRESULT OnPresent() override;
    HRESULT OnReset(const D3DPRESENT_PARAMETERS& presentation) override;

private:
    OpenGLDevice(Direct3DBase& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation,
                 const D3DPRESENT_PARAMETERS& presentation, SDL_Window* window);

    HRESULT Initialise();
    HRESULT ApplyPresentation(const D3DPRESENT_PARAMETERS& presentation);
    void MakeCurrent();
    void ClearRegion(const D3DRECT& region, GLbitfield buffers);
    void EnableClientArray(GLenum array, std::uint32_t unit, bool enabled);
    bool PointerChanged(GLenum array, std::uint32_t unit, GLint size, GLsizei stride, const BYTE* pointer);
    void BindVertexArrays(const DrawCall& draw, UINT stages);
    void KeepFrame();

    SDL_Window* m_window;
    void* m_context = nullptr;
    GlApi m_api;
    GlStateShadow m_shadow;
    std::optional<GlBackBuffer> m_backBuffer;
    GLuint m_whiteTexture = 0;
    bool m_keepFrames = false;
    std::string m_screenshotPath;
    PresentedFrame m_frame;
    PresentPacer m_pacer{0, false};
    std::vector<DWORD> m_colours;
};

}  // namespace d3d8
