#pragma once
// D3DX 8 meshes: vertex and index buffers with an attribute per face, drawn subset by subset
// on the Direct3D stand-in. Meshes come from X-file data, from D3DXCreateMeshFVF or from the
// box shape.

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/math.h"
#include "platform/dxfile/dxfile.h"

// Mesh options.
constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_DONOTCLIP = 0x002;
constexpr DWORD D3DXMESH_POINTS = 0x004;
constexpr DWORD D3DXMESH_RTPATCHES = 0x008;
constexpr DWORD D3DXMESH_NPATCHES = 0x4000;
constexpr DWORD D3DXMESH_VB_SYSTEMMEM = 0x010;
constexpr DWORD D3DXMESH_VB_MANAGED = 0x020;
constexpr DWORD D3DXMESH_VB_WRITEONLY = 0x040;
constexpr DWORD D3DXMESH_VB_DYNAMIC = 0x080;
constexpr DWORD D3DXMESH_IB_SYSTEMMEM = 0x100;
constexpr DWORD D3DXMESH_IB_MANAGED = 0x200;
constexpr DWORD D3DXMESH_IB_WRITEONLY = 0x400;
constexpr DWORD D3DXMESH_IB_DYNAMIC = 0x800;
constexpr DWORD D3DXMESH_VB_SHARE = 0x1000;
constexpr DWORD D3DXMESH_USEHWONLY = 0x2000;
constexpr DWORD D3DXMESH_SYSTEMMEM = 0x110;
constexpr DWORD D3DXMESH_MANAGED = 0x220;
constexpr DWORD D3DXMESH_WRITEONLY = 0x440;
constexpr DWORD D3DXMESH_DYNAMIC = 0x880;

// Optimisation flags.
constexpr DWORD D3DXMESHOPT_COMPACT = 0x01000000;
constexpr DWORD D3DXMESHOPT_ATTRSORT = 0x02000000;
constexpr DWORD D3DXMESHOPT_VERTEXCACHE = 0x04000000;
constexpr DWORD D3DXMESHOPT_STRIPREORDER = 0x08000000;
constexpr DWORD D3DXMESHOPT_IGNOREVERTS = 0x10000000;
constexpr DWORD D3DXMESHOPT_SHAREVB = 0x00001000;

// Direct3D errors of the mesh functions.
constexpr HRESULT D3DXERR_CANNOTMODIFYINDEXBUFFER = MAKE_D3DHRESULT(2900);
constexpr HRESULT D3DXERR_INVALIDMESH = MAKE_D3DHRESULT(2901);
constexpr HRESULT D3DXERR_CANNOTATTRSORT = MAKE_D3DHRESULT(2902);
constexpr HRESULT D3DXERR_LOADEDMESHASNODATA = MAKE_D3DHRESULT(2905);
constexpr HRESULT D3DXERR_INVALIDDATA = MAKE_D3DHRESULT(2907);

struct D3DXMATERIAL {
    D3DMATERIAL8 MatD3D;
    char* pTextureFilename;  // null without a texture; points into the same buffer
};

struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};

struct ID3DXBuffer : IUnknown {
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

struct ID3DXMesh;

struct ID3DXBaseMesh : IUnknown {
    // Draws the faces whose attribute is attribId with the mesh's buffers and vertex format.
    virtual HRESULT DrawSubset(DWORD attribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
    // A copy with another vertex format and options: elements present in both formats are
    // copied, new ones are zero.
    virtual HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice8* device, ID3DXMesh** clone) = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer8** vertexBuffer) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer8** indexBuffer) = 0;
    virtual HRESULT LockVertexBuffer(DWORD flags, BYTE** data) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD flags, BYTE** data) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    // With a null table only the number of ranges is stored.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) = 0;
    // Three entries per face: the face across each edge (corners 0-1, 1-2, 2-0), or
    // 0xFFFFFFFF. Corners closer than epsilon count as one.
    virtual HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) = 0;
};

struct ID3DXMesh : ID3DXBaseMesh {
    virtual HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
    // Sorts the faces by attribute (building the attribute table) and, with
    // D3DXMESHOPT_VERTEXCACHE, reorders faces within each attribute for the vertex cache. The
    // remaps give each new face's old face and each new vertex's old vertex.
    virtual HRESULT OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut,
                                    DWORD* faceRemap, ID3DXBuffer** vertexRemap) = 0;
};

HRESULT D3DXCreateBuffer(DWORD numBytes, ID3DXBuffer** buffer);

HRESULT D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                          IDirect3DDevice8* device, ID3DXMesh** mesh);

// A mesh from an X-file Mesh object: polygons are fanned into triangles, and a vertex is
// duplicated where its corners need different normals. Indices are 16-bit unless the vertex
// count needs 32 (or D3DXMESH_32BIT asks for it). The faces are sorted by material. adjacency
// receives three DWORDs per face; materials receives numMaterials D3DXMATERIALs (one default
// material when the mesh names none).
HRESULT D3DXLoadMeshFromXof(IDirectXFileData* meshData, DWORD options, IDirect3DDevice8* device,
                            ID3DXBuffer** adjacency, ID3DXBuffer** materials, DWORD* numMaterials,
                            ID3DXMesh** mesh);

// An axis-aligned box centred on the origin: 24 vertices (position and normal) and 12 faces.
HRESULT D3DXCreateBox(IDirect3DDevice8* device, float width, float height, float depth, ID3DXMesh** mesh,
                      ID3DXBuffer** adjacency);

// Minimum and maximum of the positions of numVertices vertices of the given format.
HRESULT D3DXComputeBoundingBox(const void* pointsFVF, DWORD numVertices, DWORD fvf, D3DXVECTOR3* min,
                               D3DXVECTOR3* max);
