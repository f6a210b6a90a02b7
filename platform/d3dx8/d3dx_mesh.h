#pragma once
// The one ID3DXMesh implementation. Vertices, indices and attributes live in memory of the
// mesh; the device's vertex and index buffers are filled from them when first needed and again
// after a lock, so a mesh without a device still loads, locks, clones and measures.

#include <vector>

#include "platform/d3d8/com_object.h"
#include "platform/d3dx8/mesh.h"

namespace d3dx8 {

class Mesh : public d3d8::ComObject<ID3DXMesh> {
public:
    // Null when the format has no position or the sizes overflow.
    static Mesh* Create(IDirect3DDevice8* device, DWORD numFaces, DWORD numVertices, DWORD options,
                        DWORD fvf);
    ~Mesh() override;

    HRESULT DrawSubset(DWORD attribId) override;
    DWORD GetNumFaces() override { return m_numFaces; }
    DWORD GetNumVertices() override { return m_numVertices; }
    DWORD GetFVF() override { return m_fvf; }
    DWORD GetOptions() override { return m_options; }
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice8* device, ID3DXMesh** clone) override;
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer8** vertexBuffer) override;
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer8** indexBuffer) override;
    HRESULT LockVertexBuffer(DWORD flags, BYTE** data) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD flags, BYTE** data) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT GenerateAdjacency(float epsilon, DWORD* adjacency) override;
    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT UnlockAttributeBuffer() override;
    HRESULT OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut, DWORD* faceRemap,
                            ID3DXBuffer** vertexRemap) override;

    UINT Stride() const { return m_stride; }
    bool WideIndices() const { return (m_options & D3DXMESH_32BIT) != 0; }
    DWORD Index(std::size_t position) const;
    void SetIndex(std::size_t position, DWORD value);
    std::vector<DWORD> AllIndices() const;
    const D3DXVECTOR3& Position(DWORD vertex) const;

private:
    Mesh(IDirect3DDevice8* device, DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, UINT stride);
    HRESULT SyncDeviceBuffers();
    void ApplyFaceOrder(const std::vector<DWORD>& newToOldFace);
    void ApplyVertexOrder(const std::vector<DWORD>& newToOldVertex);
    void BuildAttributeTable();

    IDirect3DDevice8* m_device;
    DWORD m_numFaces;
    DWORD m_numVertices;
    DWORD m_options;
    DWORD m_fvf;
    UINT m_stride;
    std::vector<BYTE> m_vertices;
    std::vector<BYTE> m_indices;
    std::vector<DWORD> m_attributes;
    std::vector<D3DXATTRIBUTERANGE> m_attributeTable;
    IDirect3DVertexBuffer8* m_vertexBuffer = nullptr;
    IDirect3DIndexBuffer8* m_indexBuffer = nullptr;
    bool m_buffersStale = true;
};

}  // namespace d3dx8
