#include "platform/d3d8/gl_back_buffer.h"

#include "platform/system_allocations.h"

namespace d3d8 {

bool GlBackBuffer::Create(GLsizei width, GLsizei height) {
    Release();
    m_width = width;
    m_height = height;
    m_api.GenRenderbuffers(1, &m_colour);
    m_api.BindRenderbuffer(GL_RENDERBUFFER, m_colour);
    m_api.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    m_api.GenRenderbuffers(1, &m_depthStencil);
    m_api.BindRenderbuffer(GL_RENDERBUFFER, m_depthStencil);
    m_api.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
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
