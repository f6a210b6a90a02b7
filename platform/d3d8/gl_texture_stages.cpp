// Texture stages as OpenGL texture units with the GL_COMBINE environment.

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

#include "platform/d3d8/gl_fixed_function.h"
#include "platform/d3d8/texture.h"

namespace d3d8 {
namespace {

// One combiner setting: OpenGL computes a0 op a1 (op a2).
struct Combiner {
    GLenum function;
    std::array<DWORD, 3> arguments;  // D3DTA values with their modifiers
    bool alphaOfArgument[3] = {false, false, false};
    GLfloat scale = 1.0f;
};

constexpr DWORD kCurrent = D3DTA_CURRENT;

GLenum SourceOf(DWORD argument) {
    switch (argument & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE:
        case D3DTA_SPECULAR:
            return GL_PRIMARY_COLOR;
        case D3DTA_TEXTURE:
            return GL_TEXTURE;
        case D3DTA_TFACTOR:
            return GL_CONSTANT;
        default:
            return GL_PREVIOUS;
    }
}

GLenum OperandOf(DWORD argument, bool alphaWanted) {
    const bool complement = (argument & D3DTA_COMPLEMENT) != 0;
    if (alphaWanted || (argument & D3DTA_ALPHAREPLICATE) != 0) {
        return complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    }
    return complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR;
}

// a0 * a2 + a1; without GL_ATI_texture_env_combine3 the product is dropped to a plain add.
Combiner MultiplyAdd(bool hasCombine3, DWORD factor, DWORD product, DWORD addend, bool factorAlpha = false) {
    if (!hasCombine3) {
        return {GL_ADD, {addend, product, kCurrent}, {false, false, false}};
    }
    return {GL_MODULATE_ADD_ATI, {factor, addend, product}, {factorAlpha, false, false}};
}

Combiner Blend(DWORD arg1, DWORD arg2, DWORD weight) {
    return {GL_INTERPOLATE, {arg1, arg2, weight}, {false, false, true}};
}

Combiner CombinerFor(DWORD operation, DWORD arg0, DWORD arg1, DWORD arg2, bool hasCombine3) {
    switch (operation) {
        case D3DTOP_SELECTARG1:
            return {GL_REPLACE, {arg1, arg1, arg1}};
        case D3DTOP_SELECTARG2:
            return {GL_REPLACE, {arg2, arg2, arg2}};
        case D3DTOP_MODULATE2X:
            return {GL_MODULATE, {arg1, arg2, arg2}, {false, false, false}, 2.0f};
        case D3DTOP_MODULATE4X:
            return {GL_MODULATE, {arg1, arg2, arg2}, {false, false, false}, 4.0f};
        case D3DTOP_ADD:
            return {GL_ADD, {arg1, arg2, arg2}};
        case D3DTOP_ADDSIGNED:
            return {GL_ADD_SIGNED, {arg1, arg2, arg2}};
        case D3DTOP_ADDSIGNED2X:
            return {GL_ADD_SIGNED, {arg1, arg2, arg2}, {false, false, false}, 2.0f};
        case D3DTOP_SUBTRACT:
            return {GL_SUBTRACT, {arg1, arg2, arg2}};
        case D3DTOP_ADDSMOOTH:  // arg1 + arg2 * (1 - arg1)
            return MultiplyAdd(hasCombine3, arg2, arg1 ^ D3DTA_COMPLEMENT, arg1);
        case D3DTOP_BLENDDIFFUSEALPHA:
            return Blend(arg1, arg2, D3DTA_DIFFUSE);
        case D3DTOP_BLENDTEXTUREALPHA:
            return Blend(arg1, arg2, D3DTA_TEXTURE);
        case D3DTOP_BLENDFACTORALPHA:
            return Blend(arg1, arg2, D3DTA_TFACTOR);
        case D3DTOP_BLENDCURRENTALPHA:
            return Blend(arg1, arg2, D3DTA_CURRENT);
        case D3DTOP_BLENDTEXTUREALPHAPM:  // arg1 + arg2 * (1 - texture alpha)
            return MultiplyAdd(hasCombine3, arg2, D3DTA_TEXTURE | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE,
                               arg1);
        case D3DTOP_MODULATEALPHA_ADDCOLOR:  // arg1 + arg1 alpha * arg2
            return MultiplyAdd(hasCombine3, arg1, arg2, arg1, true);
        case D3DTOP_MODULATECOLOR_ADDALPHA:  // arg1 * arg2 + arg1 alpha
            return MultiplyAdd(hasCombine3, arg1, arg2, arg1 | D3DTA_ALPHAREPLICATE);
        case D3DTOP_MODULATEINVALPHA_ADDCOLOR:  // arg1 + (1 - arg1 alpha) * arg2
            return MultiplyAdd(hasCombine3, arg1 | D3DTA_COMPLEMENT, arg2, arg1, true);
        case D3DTOP_MODULATEINVCOLOR_ADDALPHA:  // (1 - arg1) * arg2 + arg1 alpha
            return MultiplyAdd(hasCombine3, arg1 ^ D3DTA_COMPLEMENT, arg2, arg1 | D3DTA_ALPHAREPLICATE);
        case D3DTOP_DOTPRODUCT3:
            return {GL_DOT3_RGBA, {arg1, arg2, arg2}};
        case D3DTOP_MULTIPLYADD:  // arg0 + arg1 * arg2
            return MultiplyAdd(hasCombine3, arg1, arg2, arg0);
        case D3DTOP_LERP:  // arg0 * arg1 + (1 - arg0) * arg2
            return {GL_INTERPOLATE, {arg1, arg2, arg0}};
        default:  // MODULATE, and the bump and premodulate operations OpenGL lacks
            return {GL_MODULATE, {arg1, arg2, arg2}};
    }
}

void SetCombiner(const Combiner& combiner, bool alpha, DWORD stage, GlStateShadow& shadow) {
    static constexpr GLenum kSources[2][3] = {{GL_SRC0_RGB, GL_SRC1_RGB, GL_SRC2_RGB},
                                              {GL_SRC0_ALPHA, GL_SRC1_ALPHA, GL_SRC2_ALPHA}};
    static constexpr GLenum kOperands[2][3] = {{GL_OPERAND0_RGB, GL_OPERAND1_RGB, GL_OPERAND2_RGB},
                                               {GL_OPERAND0_ALPHA, GL_OPERAND1_ALPHA, GL_OPERAND2_ALPHA}};
    GLenum function = combiner.function;
    if (alpha && function == GL_DOT3_RGBA) {
        function = GL_REPLACE;
    }
    GLenum sources[3];
    GLenum operands[3];
    for (int index = 0; index < 3; ++index) {
        const DWORD argument = combiner.arguments[index];
        sources[index] = SourceOf(argument);
        operands[index] = OperandOf(argument, alpha || combiner.alphaOfArgument[index]);
    }
    const std::uint32_t key = stage * 2 + (alpha ? 1 : 0);
    if (!shadow.Changed(GlSlot::TextureEnvironment, key, function, sources, operands, combiner.scale)) {
        return;
    }
    glTexEnvi(GL_TEXTURE_ENV, alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB, static_cast<GLint>(function));
    for (int index = 0; index < 3; ++index) {
        glTexEnvi(GL_TEXTURE_ENV, kSources[alpha][index], static_cast<GLint>(sources[index]));
        glTexEnvi(GL_TEXTURE_ENV, kOperands[alpha][index], static_cast<GLint>(operands[index]));
    }
    glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, combiner.scale);
}

GLint AddressMode(DWORD mode) {
    switch (mode) {
        case D3DTADDRESS_MIRROR:
        case D3DTADDRESS_MIRRORONCE:
            return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP:
            return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER:
            return GL_CLAMP_TO_BORDER;
        default:
            return GL_REPEAT;
    }
}

GLint MinificationFilter(DWORD minFilter, DWORD mipFilter, DWORD levels) {
    const bool linear = minFilter >= D3DTEXF_LINEAR;
    if (mipFilter == D3DTEXF_NONE || levels < 2) {
        return linear ? GL_LINEAR : GL_NEAREST;
    }
    if (mipFilter == D3DTEXF_POINT) {
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    }
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

// Sampler states belong to the stage in Direct3D and to the bound texture object in OpenGL,
// so the shadow keeps them by texture name.
void ApplySampler(const DeviceState& state, DWORD stage, GLuint name, DWORD levels, GlStateShadow& shadow) {
    const auto stageState = [&](D3DTEXTURESTAGESTATETYPE type) {
        return state.TextureStageState(stage, type);
    };
    const GLint wrapS = AddressMode(stageState(D3DTSS_ADDRESSU));
    const GLint wrapT = AddressMode(stageState(D3DTSS_ADDRESSV));
    const GLint magnification = stageState(D3DTSS_MAGFILTER) >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
    const GLint minification =
        MinificationFilter(stageState(D3DTSS_MINFILTER), stageState(D3DTSS_MIPFILTER), levels);
    GLfloat border[4];
    ColourToFloats(stageState(D3DTSS_BORDERCOLOR), border);
    if (!shadow.Changed(GlSlot::Sampler, name, wrapS, wrapT, magnification, minification, border)) {
        return;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnification);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
}

// Direct3D extends two texture coordinates to (u, v, 1) and, unless projected, takes the
// results as they are; OpenGL extends them to (s, t, 0, 1) and divides by q. Pre-transformed
// vertices skip vertex processing, the texture transform included.
void ApplyTextureMatrix(const DeviceState& state, DWORD stage, bool transformedVertices,
                        GlStateShadow& shadow) {
    const DWORD flags = state.TextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS);
    GLfloat columnMajor[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    if ((flags & 0xFF) != D3DTTFF_DISABLE && !transformedVertices) {
        const D3DMATRIX m = state.Transform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage));
        const GLfloat transform[16] = {m._11, m._12, m._13, 0, m._21, m._22, m._23, 0,
                                       0,     0,     0,     0, m._31, m._32, m._33, 1};
        std::copy(std::begin(transform), std::end(transform), std::begin(columnMajor));
    }
    if (shadow.Changed(GlSlot::TextureMatrix, stage, columnMajor)) {
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixf(columnMajor);
        glMatrixMode(GL_MODELVIEW);
    }
}

void EnableTexturing(const GlDrawContext& context, DWORD unit, bool enabled) {
    if (!context.shadow.Changed(GlSlot::TextureEnable, unit, enabled)) {
        return;
    }
    context.api.ActiveTexture(GL_TEXTURE0 + unit);
    if (enabled) {
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

void ApplyStage(const GlDrawContext& context, DWORD stage) {
    const DeviceState& state = context.state;
    const auto stageState = [&](D3DTEXTURESTAGESTATETYPE type) {
        return state.TextureStageState(stage, type);
    };
    GlStateShadow& shadow = context.shadow;
    context.api.ActiveTexture(GL_TEXTURE0 + stage);
    EnableTexturing(context, stage, true);

    auto* texture = static_cast<Texture*>(state.Texture(stage));
    // Preparing binds the texture itself.
    const GLuint name = texture != nullptr ? PrepareTexture(context.api, *texture) : context.whiteTexture;
    if (shadow.Changed(GlSlot::TextureBinding, stage, name) && texture == nullptr) {
        glBindTexture(GL_TEXTURE_2D, name);
    }
    ApplySampler(state, stage, name, texture != nullptr ? texture->GetLevelCount() : 1, shadow);
    ApplyTextureMatrix(state, stage, context.layout.transformed, shadow);

    GLfloat factor[4];
    ColourToFloats(state.RenderState(D3DRS_TEXTUREFACTOR), factor);
    if (shadow.Changed(GlSlot::TextureFactor, stage, factor)) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
    }

    const bool combine3 = context.api.hasCombine3;
    SetCombiner(CombinerFor(stageState(D3DTSS_COLOROP), stageState(D3DTSS_COLORARG0),
                            stageState(D3DTSS_COLORARG1), stageState(D3DTSS_COLORARG2), combine3),
                false, stage, shadow);
    const DWORD alphaOperation = stageState(D3DTSS_ALPHAOP);
    // A disabled alpha operation under an active colour operation passes alpha on.
    const Combiner alpha =
        alphaOperation == D3DTOP_DISABLE
            ? Combiner{GL_REPLACE, {kCurrent, kCurrent, kCurrent}}
            : CombinerFor(alphaOperation, stageState(D3DTSS_ALPHAARG0), stageState(D3DTSS_ALPHAARG1),
                          stageState(D3DTSS_ALPHAARG2), combine3);
    SetCombiner(alpha, true, stage, shadow);
}

}  // namespace

UINT ApplyTextureStages(const GlDrawContext& context) {
    const DWORD units = std::min<DWORD>(kTextureStageCount, static_cast<DWORD>(context.api.textureUnits));
    DWORD stage = 0;
    for (; stage < units; ++stage) {
        if (context.state.TextureStageState(stage, D3DTSS_COLOROP) == D3DTOP_DISABLE) {
            break;
        }
        ApplyStage(context, stage);
    }
    for (DWORD unused = stage; unused < units; ++unused) {
        EnableTexturing(context, unused, false);
    }
    context.api.ActiveTexture(GL_TEXTURE0);
    return stage;
}

}  // namespace d3d8
