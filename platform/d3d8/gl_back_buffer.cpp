#include "platform/d3d8/gl_back_buffer.h"

#include <string_view>

#include "platform/system_allocations.h"

namespace d3d8 {

bool GlBackBuffer::Create(GLsizei width, GLsizei height, GLsizei windowWidth, GLsizei windowHeight,
                          bool alpha, bool windowed) {
    Release();
    m_width = width;
    m_height = height;
    // A window switched to full screen is told the display's size at once, but the driver's
    // buffers keep the window's earlier size until the window system resizes it, which without a
    // window manager never happens: full screen draws into a framebuffer object of its own size.
    if (windowed && width == windowWidth && height == windowHeight && WindowBuffersServe(alpha)) {
        UseWindowBuffers();
        return true;
    }
    return CreateFramebuffer();
}

// The program draws each frame over the last one without clearing its colour, so a back buffer
// must keep its picture across a present. Mesa's software renderers present by copying the
// window's back buffer, which keeps it; other drivers may flip buffers instead, and a copy costs
// them little. The window's buffers also need the framebuffer object's depth and stencil, and
// alpha when the format has it.
bool GlBackBuffer::WindowBuffersServe(bool alpha) const {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string_view name = renderer ? renderer : "";
    if (!name.starts_with("llvmpipe") && !name.starts_with("softpipe")) {
        return false;
    }
    m_api.BindFramebuffer(GL_FRAMEBUFFER, 0);
    GLint depthBits = 0;
    GLint stencilBits = 0;
    GLint alphaBits = 0;
    GLint doubleBuffered = GL_FALSE;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffered);
    return depthBits >= 24 && stencilBits >= 8 && (!alpha || alphaBits >= 8) && doubleBuffered == GL_TRUE;
}

void GlBackBuffer::UseWindowBuffers() {
    m_api.BindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    // The driver sets up a window's buffers on their first use and keeps them until the process
    // ends: reading a pixel makes that happen here.
    const SystemAllocations windowBuffers;
    GLubyte pixel[4];
    glReadPixels(0, 0, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, pixel);
}

bool GlBackBuffer::CreateFramebuffer() {
    m_api.GenRenderbuffers(1, &m_colour);
    m_api.BindRenderbuffer(GL_RENDERBUFFER, m_colour);
    m_api.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, m_width, m_height);
    m_api.GenRenderbuffers(1, &m_depthStencil);
    m_api.BindRenderbuffer(GL_RENDERBUFFER, m_depthStencil);
    m_api.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, m_width, m_height);
    m_api.GenFramebuffers(1, &m_framebuffer);
    m_api.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    m_api.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);
    m_api.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depthStencil);
    m_api.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depthStencil);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    return m_api.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void GlBackBuffer::CopyToWindow(GLsizei windowWidth, GLsizei windowHeight) {
    if (IsWindowsOwn()) {
        return;
    }
    glDisable(GL_SCISSOR_TEST);
    m_api.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    m_api.BindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    const bool sameSize = windowWidth == m_width && windowHeight == m_height;
    // Drawing onto a window makes the driver set up buffers that it keeps until the process ends.
    const SystemAllocations windowBuffers;
    m_api.BlitFramebuffer(0, 0, m_width, m_height, 0, 0, windowWidth, windowHeight, GL_COLOR_BUFFER_BIT,
                          sameSize ? GL_NEAREST : GL_LINEAR);
    m_api.BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
}

void GlBackBuffer::Release() {
    if (m_framebuffer != 0) {
        m_api.BindFramebuffer(GL_FRAMEBUFFER, 0);
        m_api.DeleteFramebuffers(1, &m_framebuffer);
        m_api.DeleteRenderbuffers(1, &m_colour);
        m_api.DeleteRenderbuffers(1, &m_depthStencil);
        m_framebuffer = m_colour = m_depthStencil = 0;
    }
}

}  // namespace d3d8
