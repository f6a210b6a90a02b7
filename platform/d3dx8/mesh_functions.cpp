#include <algorithm>
#include <cstring>

#include "platform/d3d8/vertex_format.h"
#include "platform/d3dx8/d3dx_mesh.h"
#include "platform/d3dx8/mesh.h"

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice8* device, ID3DXMesh** mesh) {
    if (mesh == nullptr || numFaces == 0 || numVertices == 0) {
        return D3DERR_INVALIDCALL;
    }
    *mesh = d3dx8::Mesh::Create(device, numFaces, numVertices, options, fvf);
    return *mesh != nullptr ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT D3DXComputeBoundingBox(const void* pointsFVF, DWORD numVertices, DWORD fvf, D3DXVECTOR3* min,
                               D3DXVECTOR3* max) {
    d3d8::VertexLayout layout;
    if (pointsFVF == nullptr || min == nullptr || max == nullptr ||
        !d3d8::DescribeVertexFormat(fvf, &layout)) {
        return D3DERR_INVALIDCALL;
    }
    const BYTE* bytes = static_cast<const BYTE*>(pointsFVF);
    for (DWORD v = 0; v < numVertices; ++v) {
        D3DXVECTOR3 point;
        std::memcpy(&point, bytes + std::size_t(v) * layout.size, sizeof(float) * 3);
        if (v == 0) {
            *min = *max = point;
        }
        D3DXVec3Minimize(min, min, &point);
        D3DXVec3Maximize(max, max, &point);
    }
    return D3D_OK;
}

HRESULT D3DXCreateBox(IDirect3DDevice8* device, float width, float height, float depth, ID3DXMesh** mesh,
                      ID3DXBuffer** adjacency) {
    if (device == nullptr || mesh == nullptr || width < 0.0f || height < 0.0f || depth < 0.0f) {
        return D3DERR_INVALIDCALL;
    }
    struct Side {
        D3DXVECTOR3 normal, u, v;  // u x v = normal: the corners then wind clockwise seen from outside
    };
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    const Side sides[6] = {{x, y, z}, {-x, z, y}, {y, z, x}, {-y, x, z}, {z, x, y}, {-z, y, x}};
    const D3DXVECTOR3 half(width / 2, height / 2, depth / 2);
    d3dx8::Mesh* box = d3dx8::Mesh::Create(device, 12, 24, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL);
    if (box == nullptr) {
        return E_OUTOFMEMORY;
    }
    struct Vertex {
        D3DXVECTOR3 position, normal;
    };
    BYTE* data = nullptr;
    box->LockVertexBuffer(0, &data);
    Vertex* vertices = reinterpret_cast<Vertex*>(data);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int s = 0; s < 6; ++s) {
        for (int c = 0; c < 4; ++c) {
            D3DXVECTOR3 p = sides[s].normal + sides[s].u * corners[c][0] + sides[s].v * corners[c][1];
            vertices[s * 4 + c] = {{p.x * half.x, p.y * half.y, p.z * half.z}, sides[s].normal};
        }
        const DWORD quad[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i) {
            box->SetIndex(s * 6 + i, s * 4 + quad[i]);
        }
    }
    box->UnlockVertexBuffer();
    box->OptimizeInplace(D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_IGNOREVERTS, nullptr, nullptr, nullptr, nullptr);
    if (adjacency != nullptr && SUCCEEDED(D3DXCreateBuffer(12 * 3 * sizeof(DWORD), adjacency))) {
        box->GenerateAdjacency(0.0f, static_cast<DWORD*>((*adjacency)->GetBufferPointer()));
    }
    *mesh = box;
    return D3D_OK;
}
