#pragma once
// The back buffer as an OpenGL framebuffer object of exactly the presentation size, with
// depth and stencil. It is independent of the window's size, as a Direct3D back buffer is;
// presenting copies it onto the window, scaled when the sizes differ.

#include "platform/d3d8/gl_api.h"

namespace d3d8 {

class GlBackBuffer {
public:
    explicit GlBackBuffer(const GlApi& api) : m_api(api) {}
    GlBackBuffer(const GlBackBuffer&) = delete;
    GlBackBuffer& operator=(const GlBackBuffer&) = delete;
    ~GlBackBuffer() { Release(); }

    // (Re)creates the buffers and leaves them bound for drawing; false when incomplete.
    bool Create(GLsizei width, GLsizei height);
    // Copies the back buffer onto the window's framebuffer of the given size.
    void CopyToWindow(GLsizei windowWidth, GLsizei windowHeight);

private:
    void Release();

    const GlApi& m_api;
    GLuint m_framebuffer = 0;
    GLuint m_colour = 0;
    GLuint m_depthStencil = 0;
    GLsizei m_width = 0;
    GLsizei m_height = 0;
};

}  // namespace d3d8
