#pragma once
// Where each element of a flexible-vertex-format vertex lies.

#include "platform/d3d8/d3d8_types.h"

namespace d3d8 {

constexpr int kAbsent = -1;
constexpr UINT kMaxTexCoordSets = 8;

struct VertexLayout {
    bool transformed = false;  // XYZRHW: screen coordinates, no transform or lighting
    int normal = kAbsent;      // byte offsets
    int diffuse = kAbsent;
    int specular = kAbsent;
    int texCoords[kMaxTexCoordSets] = {kAbsent, kAbsent, kAbsent, kAbsent,
                                       kAbsent, kAbsent, kAbsent, kAbsent};
    UINT texCoordFloats[kMaxTexCoordSets] = {};
    UINT texCoordSets = 0;
    UINT size = 0;  // bytes of one vertex
};

// False for formats without a position or with blend weights.
bool DescribeVertexFormat(DWORD fvf, VertexLayout* layout);

// Vertices that primitiveCount primitives of the type use.
UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount);

}  // namespace d3d8
