#pragma once
// OpenGL 2.1 declarations for the OpenGL back end, and the entry points that libGL does not
// export directly, loaded once a context exists.

#include <GL/gl.h>
#include <GL/glext.h>

namespace d3d8 {

struct GlApi {
    void(APIENTRY* ActiveTexture)(GLenum unit) = nullptr;
    void(APIENTRY* ClientActiveTexture)(GLenum unit) = nullptr;
    void(APIENTRY* BlendEquation)(GLenum mode) = nullptr;
    void(APIENTRY* CompressedTexImage2D)(GLenum target, GLint level, GLenum internalFormat, GLsizei width,
                                         GLsizei height, GLint border, GLsizei size,
                                         const void* data) = nullptr;
    void(APIENTRY* GenFramebuffers)(GLsizei count, GLuint* names) = nullptr;
    void(APIENTRY* DeleteFramebuffers)(GLsizei count, const GLuint* names) = nullptr;
    void(APIENTRY* BindFramebuffer)(GLenum target, GLuint name) = nullptr;
    GLenum(APIENTRY* CheckFramebufferStatus)(GLenum target) = nullptr;
    void(APIENTRY* FramebufferRenderbuffer)(GLenum target, GLenum attachment, GLenum renderbufferTarget,
                                            GLuint renderbuffer) = nullptr;
    void(APIENTRY* GenRenderbuffers)(GLsizei count, GLuint* names) = nullptr;
    void(APIENTRY* DeleteRenderbuffers)(GLsizei count, const GLuint* names) = nullptr;
    void(APIENTRY* BindRenderbuffer)(GLenum target, GLuint name) = nullptr;
    void(APIENTRY* RenderbufferStorage)(GLenum target, GLenum format, GLsizei width,
                                        GLsizei height) = nullptr;
    void(APIENTRY* BlitFramebuffer)(GLint sourceX0, GLint sourceY0, GLint sourceX1, GLint sourceY1,
                                    GLint targetX0, GLint targetY0, GLint targetX1, GLint targetY1,
                                    GLbitfield mask, GLenum filter) = nullptr;
    bool hasCombine3 = false;  // GL_ATI_texture_env_combine3: MODULATE_ADD for MULTIPLYADD and friends
    bool hasS3tc = false;      // GL_EXT_texture_compression_s3tc
    GLint textureUnits = 1;

    // Loads from the current context; false when OpenGL 2.1 essentials or framebuffer objects
    // are missing.
    bool Load();
};

}  // namespace d3d8
