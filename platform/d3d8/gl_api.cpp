#include "platform/d3d8/gl_api.h"

#include <SDL.h>

#include <algorithm>

namespace d3d8 {
namespace {

template <class Function>
void LoadEntry(Function& target, const char* name) {
    target = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
}

}  // namespace

bool GlApi::Load() {
    LoadEntry(ActiveTexture, "glActiveTexture");
    LoadEntry(ClientActiveTexture, "glClientActiveTexture");
    LoadEntry(BlendEquation, "glBlendEquation");
    LoadEntry(CompressedTexImage2D, "glCompressedTexImage2D");
    LoadEntry(GenFramebuffers, "glGenFramebuffers");
    LoadEntry(DeleteFramebuffers, "glDeleteFramebuffers");
    LoadEntry(BindFramebuffer, "glBindFramebuffer");
    LoadEntry(CheckFramebufferStatus, "glCheckFramebufferStatus");
    LoadEntry(FramebufferRenderbuffer, "glFramebufferRenderbuffer");
    LoadEntry(GenRenderbuffers, "glGenRenderbuffers");
    LoadEntry(DeleteRenderbuffers, "glDeleteRenderbuffers");
    LoadEntry(BindRenderbuffer, "glBindRenderbuffer");
    LoadEntry(RenderbufferStorage, "glRenderbufferStorage");
    LoadEntry(BlitFramebuffer, "glBlitFramebuffer");
    hasCombine3 = SDL_GL_ExtensionSupported("GL_ATI_texture_env_combine3") == SDL_TRUE;
    hasS3tc = SDL_GL_ExtensionSupported("GL_EXT_texture_compression_s3tc") == SDL_TRUE &&
              CompressedTexImage2D != nullptr;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &textureUnits);
    textureUnits = std::max<GLint>(1, textureUnits);
    const bool framebuffers = GenFramebuffers && DeleteFramebuffers && BindFramebuffer &&
                              CheckFramebufferStatus && FramebufferRenderbuffer && GenRenderbuffers &&
                              DeleteRenderbuffers && BindRenderbuffer && RenderbufferStorage &&
                              BlitFramebuffer;
    return ActiveTexture != nullptr && ClientActiveTexture != nullptr && BlendEquation != nullptr &&
           framebuffers;
}

}  // namespace d3d8
