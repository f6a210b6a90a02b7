#pragma once
// The back buffer: an OpenGL framebuffer object of exactly the presentation size, with depth
// and stencil, independent of the window's size as a Direct3D back buffer is; presenting copies
// it onto the window, scaled when the sizes differ. When the window's own buffers have the
// presentation size and serve as a back buffer, they are the back buffer, and presenting copies
// nothing: a software renderer spends more on that copy than on drawing an empty scene.

#include "platform/d3d8/gl_api.h"

namespace d3d8 {

class GlBackBuffer {
public:
    explicit GlBackBuffer(const GlApi& api) : m_api(api) {}
    GlBackBuffer(const GlBackBuffer&) = delete;
    GlBackBuffer& operator=(const GlBackBuffer&) = delete;
    ~GlBackBuffer() { Release(); }

    // (Re)creates the back buffer for a window of the given size and leaves it bound for
    // drawing; false when incomplete. Only a windowed window's buffers may serve as it.
    bool Create(GLsizei width, GLsizei height, GLsizei windowWidth, GLsizei windowHeight, bool alpha,
                bool windowed);
    // Copies the back buffer onto the window's framebuffer of the given size.
    void CopyToWindow(GLsizei windowWidth, GLsizei windowHeight);
    bool IsWindowsOwn() const { return m_framebuffer == 0; }

private:
    bool WindowBuffersServe(bool alpha) const;
    void UseWindowBuffers();
    bool CreateFramebuffer();
    void Release();

    const GlApi& m_api;
    GLuint m_framebuffer = 0;
    GLuint m_colour = 0;
    GLuint m_depthStencil = 0;
    GLsizei m_width = 0;
    GLsizei m_height = 0;
};

}  // namespace d3d8
