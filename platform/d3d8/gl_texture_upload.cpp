// Uploading the memory copy of a texture into its OpenGL texture.

#include <vector>

#include "platform/d3d8/dxt_decoder.h"
#include "platform/d3d8/gl_fixed_function.h"
#include "platform/d3d8/texture.h"

namespace d3d8 {
namespace {

struct UploadFormat {
    GLint internalFormat;
    GLenum format;
    GLenum type;
};

UploadFormat UncompressedFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_X8R8G8B8:
            return {GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE};
        case D3DFMT_R5G6B5:
            return {GL_RGB5, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
        case D3DFMT_X1R5G5B5:
            return {GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
        case D3DFMT_A1R5G5B5:
            return {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
        case D3DFMT_A4R4G4B4:
            return {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV};
        case D3DFMT_X4R4G4B4:
            return {GL_RGB4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV};
        case D3DFMT_L8:
            return {GL_LUMINANCE8, GL_LUMINANCE, GL_UNSIGNED_BYTE};
        case D3DFMT_A8:
            return {GL_ALPHA8, GL_ALPHA, GL_UNSIGNED_BYTE};
        case D3DFMT_A8L8:
            return {GL_LUMINANCE8_ALPHA8, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE};
        default:
            return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};
    }
}

GLenum CompressedFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_DXT1:
            return GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
        case D3DFMT_DXT3:
            return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
        default:
            return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    }
}

void UploadLevel(const GlApi& api, D3DFORMAT format, GLint level, const Texture::Level& source,
                 std::vector<DWORD>& scratch) {
    const auto width = static_cast<GLsizei>(source.layout.width);
    const auto height = static_cast<GLsizei>(source.layout.height);
    if (!IsCompressed(format)) {
        const UploadFormat upload = UncompressedFormat(format);
        glTexImage2D(GL_TEXTURE_2D, level, upload.internalFormat, width, height, 0, upload.format,
                     upload.type, source.bytes.data());
    } else if (api.hasS3tc) {
        api.CompressedTexImage2D(GL_TEXTURE_2D, level, CompressedFormat(format), width, height, 0,
                                 static_cast<GLsizei>(source.bytes.size()), source.bytes.data());
    } else {
        scratch.resize(static_cast<std::size_t>(source.layout.width) * source.layout.height);
        DecodeDxt(format, source.bytes.data(), source.bytes.size(), source.layout.width, source.layout.height,
                  scratch.data());
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     scratch.data());
    }
}

}  // namespace

GLuint PrepareTexture(const GlApi& api, Texture& texture) {
    if (texture.backEndName == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        texture.backEndName = name;
    }
    glBindTexture(GL_TEXTURE_2D, texture.backEndName);
    if (texture.uploadedRevision != texture.Revision()) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        std::vector<DWORD> scratch;
        const auto& levels = texture.Levels();
        for (std::size_t level = 0; level < levels.size(); ++level) {
            UploadLevel(api, texture.Format(), static_cast<GLint>(level), levels[level], scratch);
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels.size()) - 1);
        texture.uploadedRevision = texture.Revision();
    }
    return texture.backEndName;
}

void DeleteTextureName(Texture& texture) {
    if (texture.backEndName != 0) {
        const GLuint name = texture.backEndName;
        glDeleteTextures(1, &name);
        texture.backEndName = 0;
    }
}

}  // namespace d3d8
