#include "platform/d3d8/vertex_format.h"

namespace d3d8 {

bool DescribeVertexFormat(DWORD fvf, VertexLayout* layout) {
    VertexLayout result;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position == D3DFVF_XYZ) {
        result.size = 12;
    } else if (position == D3DFVF_XYZRHW) {
        result.transformed = true;
        result.size = 16;
    } else {
        return false;
    }
    if (fvf & D3DFVF_NORMAL) {
        result.normal = static_cast<int>(result.size);
        result.size += 12;
    }
    if (fvf & D3DFVF_PSIZE) {
        result.size += 4;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        result.diffuse = static_cast<int>(result.size);
        result.size += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        result.specular = static_cast<int>(result.size);
        result.size += 4;
    }
    result.texCoordSets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (result.texCoordSets > kMaxTexCoordSets) {
        return false;
    }
    // Bits 16 and up give each set's size; 0 there means two floats.
    for (UINT set = 0; set < result.texCoordSets; ++set) {
        static constexpr UINT kFloatsForCode[4] = {2, 3, 4, 1};
        result.texCoords[set] = static_cast<int>(result.size);
        result.texCoordFloats[set] = kFloatsForCode[(fvf >> (16 + 2 * set)) & 3];
        result.size += 4 * result.texCoordFloats[set];
    }
    *layout = result;
    return true;
}

UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    if (primitiveCount == 0) {
        return 0;
    }
    switch (type) {
        case D3DPT_POINTLIST:
            return primitiveCount;
        case D3DPT_LINELIST:
            return primitiveCount * 2;
        case D3DPT_LINESTRIP:
            return primitiveCount + 1;
        case D3DPT_TRIANGLELIST:
            return primitiveCount * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return primitiveCount + 2;
        default:
            return 0;
    }
}

}  // namespace d3d8
