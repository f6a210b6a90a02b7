#pragma once
// Programs OpenGL's fixed-function pipeline from the Direct3D device state before a draw.

#include "platform/d3d8/device_state.h"
#include "platform/d3d8/gl_api.h"
#include "platform/d3d8/gl_state_shadow.h"
#include "platform/d3d8/vertex_format.h"

namespace d3d8 {

class Texture;

struct GlDrawContext {
    const GlApi& api;
    GlStateShadow& shadow;
    const DeviceState& state;
    const VertexLayout& layout;
    UINT backBufferHeight;
    GLuint whiteTexture;  // stands in for a stage without texture
};

// Everything: render states, transforms, lights, clip planes and texture stages; returns the
// number of texture stages in use.
UINT ApplyFixedFunction(const GlDrawContext& context);

// Texture stages 0 .. the first disabled one; returns the number of stages in use.
UINT ApplyTextureStages(const GlDrawContext& context);

// Makes the texture's OpenGL copy current (created or uploaded when its pixels changed) and
// returns its name; it is left bound to the active unit.
GLuint PrepareTexture(const GlApi& api, Texture& texture);
void DeleteTextureName(Texture& texture);

// An ARGB colour as red, green, blue and alpha from 0 to 1.
void ColourToFloats(D3DCOLOR colour, GLfloat (&rgba)[4]);

// Write masks, which clearing sets too.
void SetColourMask(GlStateShadow& shadow, bool red, bool green, bool blue, bool alpha);
void SetDepthMask(GlStateShadow& shadow, bool write);
void SetStencilMask(GlStateShadow& shadow, GLuint mask);

// Direct3D viewport (rows from the top) to OpenGL window coordinates (rows from the bottom).
void ApplyViewport(const D3DVIEWPORT8& viewport, UINT backBufferHeight, GlStateShadow& shadow);

}  // namespace d3d8
