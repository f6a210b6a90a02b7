#include "platform/d3d8/gl_fixed_function.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace d3d8 {
namespace {

GLenum BlendFactor(DWORD blend) {
    switch (blend) {
        case D3DBLEND_ZERO:
            return GL_ZERO;
        case D3DBLEND_SRCCOLOR:
            return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR:
            return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA:
        case D3DBLEND_BOTHSRCALPHA:
            return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA:
        case D3DBLEND_BOTHINVSRCALPHA:
            return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA:
            return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA:
            return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR:
            return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR:
            return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT:
            return GL_SRC_ALPHA_SATURATE;
        default:
            return GL_ONE;
    }
}

// The destination factor that the "both" source factors imply.
GLenum DestinationFactor(DWORD source, DWORD destination) {
    if (source == D3DBLEND_BOTHSRCALPHA) {
        return GL_ONE_MINUS_SRC_ALPHA;
    }
    if (source == D3DBLEND_BOTHINVSRCALPHA) {
        return GL_SRC_ALPHA;
    }
    return BlendFactor(destination);
}

GLenum BlendEquation(DWORD operation) {
    switch (operation) {
        case D3DBLENDOP_SUBTRACT:
            return GL_FUNC_SUBTRACT;
        case D3DBLENDOP_REVSUBTRACT:
            return GL_FUNC_REVERSE_SUBTRACT;
        case D3DBLENDOP_MIN:
            return GL_MIN;
        case D3DBLENDOP_MAX:
            return GL_MAX;
        default:
            return GL_FUNC_ADD;
    }
}

GLenum CompareFunction(DWORD function) {
    // D3DCMP_NEVER .. D3DCMP_ALWAYS are 1 .. 8 in the order of GL_NEVER .. GL_ALWAYS.
    return function >= D3DCMP_NEVER && function <= D3DCMP_ALWAYS ? GL_NEVER + (function - D3DCMP_NEVER)
                                                                 : GL_ALWAYS;
}

GLenum StencilOperation(DWORD operation) {
    switch (operation) {
        case D3DSTENCILOP_ZERO:
            return GL_ZERO;
        case D3DSTENCILOP_REPLACE:
            return GL_REPLACE;
        case D3DSTENCILOP_INCRSAT:
        case D3DSTENCILOP_INCR:
            return GL_INCR;
        case D3DSTENCILOP_DECRSAT:
        case D3DSTENCILOP_DECR:
            return GL_DECR;
        case D3DSTENCILOP_INVERT:
            return GL_INVERT;
        default:
            return GL_KEEP;
    }
}

void Enable(GlStateShadow& shadow, GLenum capability, bool enabled) {
    if (!shadow.Changed(GlSlot::Enable, capability, enabled)) {
        return;
    }
    if (enabled) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

float AsFloat(DWORD value) {
    return std::bit_cast<float>(value);
}

void ApplyBlend(const GlDrawContext& context) {
    const DeviceState& state = context.state;
    GlStateShadow& shadow = context.shadow;
    Enable(shadow, GL_BLEND, state.RenderState(D3DRS_ALPHABLENDENABLE) != 0);
    const DWORD sourceBlend = state.RenderState(D3DRS_SRCBLEND);
    const GLenum source = BlendFactor(sourceBlend);
    const GLenum destination = DestinationFactor(sourceBlend, state.RenderState(D3DRS_DESTBLEND));
    if (shadow.Changed(GlSlot::BlendFunction, 0, source, destination)) {
        glBlendFunc(source, destination);
    }
    const GLenum equation = BlendEquation(state.RenderState(D3DRS_BLENDOP));
    if (shadow.Changed(GlSlot::BlendEquation, 0, equation)) {
        context.api.BlendEquation(equation);
    }
}

void ApplyStencil(const DeviceState& state, GlStateShadow& shadow) {
    Enable(shadow, GL_STENCIL_TEST, state.RenderState(D3DRS_STENCILENABLE) != 0);
    const GLenum function = CompareFunction(state.RenderState(D3DRS_STENCILFUNC));
    const auto reference = static_cast<GLint>(state.RenderState(D3DRS_STENCILREF));
    const GLuint mask = state.RenderState(D3DRS_STENCILMASK);
    if (shadow.Changed(GlSlot::StencilFunction, 0, function, reference, mask)) {
        glStencilFunc(function, reference, mask);
    }
    const GLenum fail = StencilOperation(state.RenderState(D3DRS_STENCILFAIL));
    const GLenum depthFail = StencilOperation(state.RenderState(D3DRS_STENCILZFAIL));
    const GLenum pass = StencilOperation(state.RenderState(D3DRS_STENCILPASS));
    if (shadow.Changed(GlSlot::StencilOperation, 0, fail, depthFail, pass)) {
        glStencilOp(fail, depthFail, pass);
    }
    SetStencilMask(shadow, state.RenderState(D3DRS_STENCILWRITEMASK));
}

void ApplyTests(const DeviceState& state, GlStateShadow& shadow) {
    Enable(shadow, GL_ALPHA_TEST, state.RenderState(D3DRS_ALPHATESTENABLE) != 0);
    const GLenum alphaFunction = CompareFunction(state.RenderState(D3DRS_ALPHAFUNC));
    const GLfloat alphaReference = (state.RenderState(D3DRS_ALPHAREF) & 0xFF) / 255.0f;
    if (shadow.Changed(GlSlot::AlphaFunction, 0, alphaFunction, alphaReference)) {
        glAlphaFunc(alphaFunction, alphaReference);
    }

    Enable(shadow, GL_DEPTH_TEST, state.RenderState(D3DRS_ZENABLE) != D3DZB_FALSE);
    const GLenum depthFunction = CompareFunction(state.RenderState(D3DRS_ZFUNC));
    if (shadow.Changed(GlSlot::DepthFunction, 0, depthFunction)) {
        glDepthFunc(depthFunction);
    }
    SetDepthMask(shadow, state.RenderState(D3DRS_ZWRITEENABLE) != 0);
    ApplyStencil(state, shadow);
}

void ApplyRasterStates(const DeviceState& state, GlStateShadow& shadow) {
    // Both APIs see the same picture, so a triangle that is clockwise on screen is clockwise
    // for both; Direct3D names the winding it culls, OpenGL the one it keeps.
    const DWORD cull = state.RenderState(D3DRS_CULLMODE);
    Enable(shadow, GL_CULL_FACE, cull == D3DCULL_CW || cull == D3DCULL_CCW);
    const GLenum front = cull == D3DCULL_CCW ? GL_CW : GL_CCW;
    if (shadow.Changed(GlSlot::CullFace, 0, front)) {
        glCullFace(GL_BACK);
        glFrontFace(front);
    }

    const DWORD fill = state.RenderState(D3DRS_FILLMODE);
    const GLenum polygonMode = fill == D3DFILL_POINT       ? GL_POINT
                               : fill == D3DFILL_WIREFRAME ? GL_LINE
                                                           : GL_FILL;
    if (shadow.Changed(GlSlot::PolygonMode, 0, polygonMode)) {
        glPolygonMode(GL_FRONT_AND_BACK, polygonMode);
    }
    const GLenum shading = state.RenderState(D3DRS_SHADEMODE) == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH;
    if (shadow.Changed(GlSlot::ShadeModel, 0, shading)) {
        glShadeModel(shading);
    }
    Enable(shadow, GL_DITHER, state.RenderState(D3DRS_DITHERENABLE) != 0);
    const DWORD mask = state.RenderState(D3DRS_COLORWRITEENABLE);
    SetColourMask(shadow, (mask & D3DCOLORWRITEENABLE_RED) != 0, (mask & D3DCOLORWRITEENABLE_GREEN) != 0,
                  (mask & D3DCOLORWRITEENABLE_BLUE) != 0, (mask & D3DCOLORWRITEENABLE_ALPHA) != 0);
    const GLfloat pointSize = std::max(1.0f, AsFloat(state.RenderState(D3DRS_POINTSIZE)));
    if (shadow.Changed(GlSlot::PointSize, 0, pointSize)) {
        glPointSize(pointSize);
    }
}

void ApplyFog(const DeviceState& state, bool transformed, GlStateShadow& shadow) {
    const DWORD tableMode = state.RenderState(D3DRS_FOGTABLEMODE);
    const DWORD mode = tableMode != D3DFOG_NONE ? tableMode : state.RenderState(D3DRS_FOGVERTEXMODE);
    const bool enabled = state.RenderState(D3DRS_FOGENABLE) != 0 && mode != D3DFOG_NONE && !transformed;
    Enable(shadow, GL_FOG, enabled);
    if (!enabled) {
        return;
    }
    const GLint fogMode = mode == D3DFOG_EXP ? GL_EXP : mode == D3DFOG_EXP2 ? GL_EXP2 : GL_LINEAR;
    const GLfloat start = AsFloat(state.RenderState(D3DRS_FOGSTART));
    const GLfloat end = AsFloat(state.RenderState(D3DRS_FOGEND));
    const GLfloat density = AsFloat(state.RenderState(D3DRS_FOGDENSITY));
    GLfloat colour[4];
    ColourToFloats(state.RenderState(D3DRS_FOGCOLOR), colour);
    if (!shadow.Changed(GlSlot::Fog, 0, fogMode, start, end, density, colour)) {
        return;
    }
    glFogi(GL_FOG_MODE, fogMode);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    glFogf(GL_FOG_DENSITY, density);
    glFogfv(GL_FOG_COLOR, colour);
}

void SetMaterialColour(GLenum name, const D3DCOLORVALUE& colour) {
    const GLfloat rgba[4] = {colour.r, colour.g, colour.b, colour.a};
    glMaterialfv(GL_FRONT_AND_BACK, name, rgba);
}

// Which material colours the vertex diffuse colour replaces; OpenGL can track only one set.
void ApplyColourMaterial(const DeviceState& state, const VertexLayout& layout, GlStateShadow& shadow) {
    const bool fromVertex = state.RenderState(D3DRS_COLORVERTEX) != 0 && layout.diffuse != kAbsent;
    const bool diffuse = fromVertex && state.RenderState(D3DRS_DIFFUSEMATERIALSOURCE) == D3DMCS_COLOR1;
    const bool ambient = fromVertex && state.RenderState(D3DRS_AMBIENTMATERIALSOURCE) == D3DMCS_COLOR1;
    const bool emissive = fromVertex && state.RenderState(D3DRS_EMISSIVEMATERIALSOURCE) == D3DMCS_COLOR1;
    Enable(shadow, GL_COLOR_MATERIAL, diffuse || ambient || emissive);
    const GLenum tracked = diffuse && ambient ? GL_AMBIENT_AND_DIFFUSE
                           : diffuse          ? GL_DIFFUSE
                           : ambient          ? GL_AMBIENT
                           : emissive         ? GL_EMISSION
                                              : GL_NONE;
    if (tracked == GL_NONE) {
        return;
    }
    if (shadow.Changed(GlSlot::ColourMaterial, 0, tracked)) {
        glColorMaterial(GL_FRONT_AND_BACK, tracked);
    }
    // Tracking writes the vertex colours into the material, behind the shadow.
    shadow.Forget(GlSlot::Material, 0);
}

void ApplyMaterial(const DeviceState& state, GlStateShadow& shadow) {
    const D3DMATERIAL8& material = state.Material();
    const bool specular = state.RenderState(D3DRS_SPECULARENABLE) != 0;
    if (!shadow.Changed(GlSlot::Material, 0, material, specular)) {
        return;
    }
    SetMaterialColour(GL_DIFFUSE, material.Diffuse);
    SetMaterialColour(GL_AMBIENT, material.Ambient);
    SetMaterialColour(GL_EMISSION, material.Emissive);
    SetMaterialColour(GL_SPECULAR, specular ? material.Specular : D3DCOLORVALUE{0, 0, 0, 0});
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(material.Power, 0.0f, 128.0f));
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, specular ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
}

void SetLight(GLenum light, const D3DLIGHT8& source) {
    const GLfloat diffuse[4] = {source.Diffuse.r, source.Diffuse.g, source.Diffuse.b, source.Diffuse.a};
    const GLfloat specular[4] = {source.Specular.r, source.Specular.g, source.Specular.b, source.Specular.a};
    const GLfloat ambient[4] = {source.Ambient.r, source.Ambient.g, source.Ambient.b, source.Ambient.a};
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
    glLightfv(light, GL_AMBIENT, ambient);
    if (source.Type == D3DLIGHT_DIRECTIONAL) {
        // OpenGL wants the direction toward the light.
        const GLfloat position[4] = {-source.Direction.x, -source.Direction.y, -source.Direction.z, 0.0f};
        glLightfv(light, GL_POSITION, position);
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
        return;
    }
    const GLfloat position[4] = {source.Position.x, source.Position.y, source.Position.z, 1.0f};
    glLightfv(light, GL_POSITION, position);
    glLightf(light, GL_CONSTANT_ATTENUATION, source.Attenuation0);
    glLightf(light, GL_LINEAR_ATTENUATION, source.Attenuation1);
    glLightf(light, GL_QUADRATIC_ATTENUATION, source.Attenuation2);
    if (source.Type == D3DLIGHT_SPOT) {
        const GLfloat direction[3] = {source.Direction.x, source.Direction.y, source.Direction.z};
        glLightfv(light, GL_SPOT_DIRECTION, direction);
        glLightf(light, GL_SPOT_CUTOFF, std::clamp(source.Phi * 0.5f * 57.29578f, 0.0f, 90.0f));
        glLightf(light, GL_SPOT_EXPONENT, std::clamp(source.Falloff, 0.0f, 128.0f));
    } else {
        glLightf(light, GL_SPOT_CUTOFF, 180.0f);
    }
}

// Lights and clip planes are given in world space: the modelview holds the view alone here,
// and OpenGL keeps them in eye space, so a new view sends them again.
void ApplyLights(const DeviceState& state, bool lit, const D3DMATRIX& view, GlStateShadow& shadow) {
    Enable(shadow, GL_LIGHTING, lit);
    GLenum next = GL_LIGHT0;
    if (lit) {
        for (const auto& [index, slot] : state.Lights()) {
            if (slot.enabled && next < GL_LIGHT0 + kActiveLightLimit) {
                if (shadow.Changed(GlSlot::Light, next, slot.light, view)) {
                    SetLight(next, slot.light);
                }
                Enable(shadow, next++, true);
            }
        }
        GLfloat ambient[4];
        ColourToFloats(state.RenderState(D3DRS_AMBIENT), ambient);
        const GLint localViewer = state.RenderState(D3DRS_LOCALVIEWER) != 0;
        if (shadow.Changed(GlSlot::LightModel, 0, ambient, localViewer)) {
            glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
            glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, localViewer);
        }
        Enable(shadow, GL_NORMALIZE, state.RenderState(D3DRS_NORMALIZENORMALS) != 0);
    }
    for (; next < GL_LIGHT0 + kActiveLightLimit; ++next) {
        Enable(shadow, next, false);
    }
}

void ApplyClipPlanes(const DeviceState& state, bool transformed, const D3DMATRIX& view,
                     GlStateShadow& shadow) {
    const DWORD enabled = transformed ? 0 : state.RenderState(D3DRS_CLIPPLANEENABLE);
    for (DWORD index = 0; index < kClipPlaneCount; ++index) {
        const bool on = (enabled & (1u << index)) != 0;
        Enable(shadow, GL_CLIP_PLANE0 + index, on);
        if (on) {
            const ClipPlane& plane = state.Plane(index);
            const GLdouble equation[4] = {plane[0], plane[1], plane[2], plane[3]};
            if (shadow.Changed(GlSlot::ClipPlane, index, equation, view)) {
                glClipPlane(GL_CLIP_PLANE0 + index, equation);
            }
        }
    }
}

// Pre-transformed vertices are pixels of the render target with depth in [0, 1]; pixel
// centres lie on whole coordinates in Direct3D and half-way between them in OpenGL.
void LoadScreenProjection(const D3DVIEWPORT8& viewport, GlStateShadow& shadow) {
    static constexpr GLfloat kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const bool screen = true;
    if (shadow.Changed(GlSlot::Projection, 0, screen, viewport.X, viewport.Y, viewport.Width,
                       viewport.Height)) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        const double left = viewport.X - 0.5;
        const double top = viewport.Y - 0.5;
        glOrtho(left, left + viewport.Width, top + viewport.Height, top, 0.0, -1.0);
        glMatrixMode(GL_MODELVIEW);
    }
    glLoadMatrixf(kIdentity);
}

// Direct3D clips depth to [0, w], OpenGL to [-w, w].
void LoadProjection(const D3DMATRIX& projection, GlStateShadow& shadow) {
    static constexpr GLfloat kDepthRange[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, 0, 0, -1, 1};
    const bool screen = false;
    if (!shadow.Changed(GlSlot::Projection, 0, screen, projection)) {
        return;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(kDepthRange);
    glMultMatrixf(&projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace

void ColourToFloats(D3DCOLOR colour, GLfloat (&rgba)[4]) {
    rgba[0] = ((colour >> 16) & 0xFF) / 255.0f;
    rgba[1] = ((colour >> 8) & 0xFF) / 255.0f;
    rgba[2] = (colour & 0xFF) / 255.0f;
    rgba[3] = ((colour >> 24) & 0xFF) / 255.0f;
}

void SetColourMask(GlStateShadow& shadow, bool red, bool green, bool blue, bool alpha) {
    if (shadow.Changed(GlSlot::ColourMask, 0, red, green, blue, alpha)) {
        glColorMask(red, green, blue, alpha);
    }
}

void SetDepthMask(GlStateShadow& shadow, bool write) {
    if (shadow.Changed(GlSlot::DepthMask, 0, write)) {
        glDepthMask(write ? GL_TRUE : GL_FALSE);
    }
}

void SetStencilMask(GlStateShadow& shadow, GLuint mask) {
    if (shadow.Changed(GlSlot::StencilMask, 0, mask)) {
        glStencilMask(mask);
    }
}

void ApplyViewport(const D3DVIEWPORT8& viewport, UINT backBufferHeight, GlStateShadow& shadow) {
    const GLint bottom =
        static_cast<GLint>(backBufferHeight) - static_cast<GLint>(viewport.Y + viewport.Height);
    if (!shadow.Changed(GlSlot::Viewport, 0, viewport, bottom)) {
        return;
    }
    glViewport(static_cast<GLint>(viewport.X), bottom, static_cast<GLsizei>(viewport.Width),
               static_cast<GLsizei>(viewport.Height));
    glDepthRange(viewport.MinZ, viewport.MaxZ);
}

UINT ApplyFixedFunction(const GlDrawContext& context) {
    const DeviceState& state = context.state;
    GlStateShadow& shadow = context.shadow;
    const bool transformed = context.layout.transformed;
    ApplyViewport(state.Viewport(), context.backBufferHeight, shadow);
    ApplyBlend(context);
    ApplyTests(state, shadow);
    ApplyRasterStates(state, shadow);
    ApplyFog(state, transformed, shadow);
    if (transformed) {
        LoadScreenProjection(state.Viewport(), shadow);
        ApplyLights(state, false, state.Transform(D3DTS_VIEW), shadow);
        ApplyClipPlanes(state, true, state.Transform(D3DTS_VIEW), shadow);
    } else {
        const bool lit = state.RenderState(D3DRS_LIGHTING) != 0;
        const D3DMATRIX& view = state.Transform(D3DTS_VIEW);
        LoadProjection(state.Transform(D3DTS_PROJECTION), shadow);
        glLoadMatrixf(&view.m[0][0]);
        if (lit) {
            ApplyMaterial(state, shadow);
            ApplyColourMaterial(state, context.layout, shadow);
        } else {
            Enable(shadow, GL_COLOR_MATERIAL, false);
        }
        ApplyLights(state, lit, view, shadow);
        ApplyClipPlanes(state, false, view, shadow);
        // Row vectors: a point goes through world, then view.
        const D3DMATRIX world = state.Transform(D3DTS_WORLD);
        glMultMatrixf(&world.m[0][0]);
    }
    return ApplyTextureStages(context);
}

}  // namespace d3d8
