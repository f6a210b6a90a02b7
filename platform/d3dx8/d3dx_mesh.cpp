#include "platform/d3dx8/d3dx_mesh.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

#include "platform/d3d8/vertex_format.h"
#include "platform/d3dx8/mesh_optimize.h"

namespace d3dx8 {
namespace {

D3DPOOL PoolFor(DWORD options, DWORD systemMemoryFlag) {
    return (options & systemMemoryFlag) != 0 ? D3DPOOL_SYSTEMMEM : D3DPOOL_MANAGED;
}

// A lock hands out the mesh's own memory: it stays valid while the mesh lives.
template <class T>
HRESULT HandOut(std::vector<T>& memory, T** data) {
    if (data == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *data = memory.data();
    return D3D_OK;
}

}  // namespace

Mesh* Mesh::Create(IDirect3DDevice8* device, DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf) {
    d3d8::VertexLayout layout;
    if (!d3d8::DescribeVertexFormat(fvf, &layout) || layout.transformed) {
        return nullptr;
    }
    const std::uint64_t indexBytes = std::uint64_t(numFaces) * 3 * ((options & D3DXMESH_32BIT) != 0 ? 4 : 2);
    const std::uint64_t vertexBytes = std::uint64_t(numVertices) * layout.size;
    if (indexBytes > std::numeric_limits<UINT>::max() || vertexBytes > std::numeric_limits<UINT>::max()) {
        return nullptr;
    }
    return new Mesh(device, numFaces, numVertices, options, fvf, layout.size);
}

Mesh::Mesh(IDirect3DDevice8* device, DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf, UINT stride)
    : m_device(d3d8::Share(device)),
      m_numFaces(numFaces),
      m_numVertices(numVertices),
      m_options(options),
      m_fvf(fvf),
      m_stride(stride),
      m_vertices(std::size_t(numVertices) * stride),
      m_indices(std::size_t(numFaces) * 3 * (WideIndices() ? 4 : 2)),
      m_attributes(numFaces, 0) {}

Mesh::~Mesh() {
    if (m_vertexBuffer != nullptr) {
        m_vertexBuffer->Release();
    }
    if (m_indexBuffer != nullptr) {
        m_indexBuffer->Release();
    }
    if (m_device != nullptr) {
        m_device->Release();
    }
}

DWORD Mesh::Index(std::size_t position) const {
    if (WideIndices()) {
        DWORD value = 0;
        std::memcpy(&value, &m_indices[position * 4], 4);
        return value;
    }
    WORD value = 0;
    std::memcpy(&value, &m_indices[position * 2], 2);
    return value;
}

void Mesh::SetIndex(std::size_t position, DWORD value) {
    if (WideIndices()) {
        std::memcpy(&m_indices[position * 4], &value, 4);
    } else {
        const WORD narrow = static_cast<WORD>(value);
        std::memcpy(&m_indices[position * 2], &narrow, 2);
    }
}

std::vector<DWORD> Mesh::AllIndices() const {
    std::vector<DWORD> indices(std::size_t(m_numFaces) * 3);
    for (std::size_t i = 0; i < indices.size(); ++i) {
        indices[i] = Index(i);
    }
    return indices;
}

const D3DXVECTOR3& Mesh::Position(DWORD vertex) const {
    return *reinterpret_cast<const D3DXVECTOR3*>(&m_vertices[std::size_t(vertex) * m_stride]);
}

HRESULT Mesh::GetDevice(IDirect3DDevice8** device) {
    if (device == nullptr || m_device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *device = d3d8::Share(m_device);
    return D3D_OK;
}

HRESULT Mesh::SyncDeviceBuffers() {
    if (m_device == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (!m_buffersStale) {
        return D3D_OK;
    }
    if (m_vertexBuffer == nullptr &&
        FAILED(m_device->CreateVertexBuffer(static_cast<UINT>(m_vertices.size()), 0, m_fvf,
                                            PoolFor(m_options, D3DXMESH_VB_SYSTEMMEM), &m_vertexBuffer))) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    if (m_indexBuffer == nullptr &&
        FAILED(m_device->CreateIndexBuffer(static_cast<UINT>(m_indices.size()), 0,
                                           WideIndices() ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                           PoolFor(m_options, D3DXMESH_IB_SYSTEMMEM), &m_indexBuffer))) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    BYTE* data = nullptr;
    if (!m_vertices.empty() && SUCCEEDED(m_vertexBuffer->Lock(0, 0, &data, 0))) {
        std::memcpy(data, m_vertices.data(), m_vertices.size());
        m_vertexBuffer->Unlock();
    }
    if (!m_indices.empty() && SUCCEEDED(m_indexBuffer->Lock(0, 0, &data, 0))) {
        std::memcpy(data, m_indices.data(), m_indices.size());
        m_indexBuffer->Unlock();
    }
    m_buffersStale = false;
    return D3D_OK;
}

HRESULT Mesh::DrawSubset(DWORD attribId) {
    if (FAILED(SyncDeviceBuffers())) {
        return D3DERR_INVALIDCALL;
    }
    m_device->SetVertexShader(m_fvf);
    m_device->SetStreamSource(0, m_vertexBuffer, m_stride);
    m_device->SetIndices(m_indexBuffer, 0);
    if (!m_attributeTable.empty()) {
        for (const D3DXATTRIBUTERANGE& range : m_attributeTable) {
            if (range.AttribId == attribId && range.FaceCount > 0) {
                return m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, range.VertexStart,
                                                      range.VertexCount, range.FaceStart * 3,
                                                      range.FaceCount);
            }
        }
        return D3D_OK;
    }
    // Without a table every run of faces with the attribute is a draw of its own.
    for (DWORD face = 0; face < m_numFaces;) {
        if (m_attributes[face] != attribId) {
            ++face;
            continue;
        }
        DWORD end = face;
        while (end < m_numFaces && m_attributes[end] == attribId) {
            ++end;
        }
        const HRESULT result =
            m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, m_numVertices, face * 3, end - face);
        if (FAILED(result)) {
            return result;
        }
        face = end;
    }
    return D3D_OK;
}

HRESULT Mesh::CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice8* device, ID3DXMesh** clone) {
    if (clone == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *clone = nullptr;
    const bool wide = (options & D3DXMESH_32BIT) != 0;
    if (!wide && m_numVertices > 0x10000) {
        return D3DXERR_INVALIDDATA;
    }
    d3d8::VertexLayout from;
    d3d8::VertexLayout to;
    Mesh* copy = Create(device, m_numFaces, m_numVertices, options, fvf);
    if (copy == nullptr || !d3d8::DescribeVertexFormat(m_fvf, &from) ||
        !d3d8::DescribeVertexFormat(fvf, &to)) {
        if (copy != nullptr) {
            copy->Release();
        }
        return D3DERR_INVALIDCALL;
    }
    for (DWORD v = 0; v < m_numVertices; ++v) {
        const BYTE* source = &m_vertices[std::size_t(v) * m_stride];
        BYTE* target = &copy->m_vertices[std::size_t(v) * copy->m_stride];
        std::memcpy(target, source, sizeof(float) * 3);
        auto copyElement = [&](int fromOffset, int toOffset, std::size_t bytes) {
            if (fromOffset != d3d8::kAbsent && toOffset != d3d8::kAbsent) {
                std::memcpy(target + toOffset, source + fromOffset, bytes);
            }
        };
        copyElement(from.normal, to.normal, sizeof(float) * 3);
        copyElement(from.diffuse, to.diffuse, sizeof(DWORD));
        copyElement(from.specular, to.specular, sizeof(DWORD));
        for (UINT set = 0; set < d3d8::kMaxTexCoordSets; ++set) {
            const UINT floats = std::min(from.texCoordFloats[set], to.texCoordFloats[set]);
            copyElement(from.texCoords[set], to.texCoords[set], sizeof(float) * floats);
        }
    }
    for (std::size_t i = 0; i < std::size_t(m_numFaces) * 3; ++i) {
        copy->SetIndex(i, Index(i));
    }
    copy->m_attributes = m_attributes;
    copy->m_attributeTable = m_attributeTable;
    *clone = copy;
    return D3D_OK;
}

HRESULT Mesh::GetVertexBuffer(IDirect3DVertexBuffer8** vertexBuffer) {
    if (vertexBuffer == nullptr || FAILED(SyncDeviceBuffers())) {
        return D3DERR_INVALIDCALL;
    }
    *vertexBuffer = d3d8::Share(m_vertexBuffer);
    return D3D_OK;
}

HRESULT Mesh::GetIndexBuffer(IDirect3DIndexBuffer8** indexBuffer) {
    if (indexBuffer == nullptr || FAILED(SyncDeviceBuffers())) {
        return D3DERR_INVALIDCALL;
    }
    *indexBuffer = d3d8::Share(m_indexBuffer);
    return D3D_OK;
}

HRESULT Mesh::LockVertexBuffer(DWORD /*flags*/, BYTE** data) {
    return HandOut(m_vertices, data);
}

HRESULT Mesh::UnlockVertexBuffer() {
    m_buffersStale = true;
    return D3D_OK;
}

HRESULT Mesh::LockIndexBuffer(DWORD /*flags*/, BYTE** data) {
    return HandOut(m_indices, data);
}

HRESULT Mesh::UnlockIndexBuffer() {
    m_buffersStale = true;
    return D3D_OK;
}

HRESULT Mesh::LockAttributeBuffer(DWORD /*flags*/, DWORD** data) {
    return HandOut(m_attributes, data);
}

HRESULT Mesh::UnlockAttributeBuffer() {
    return D3D_OK;
}

HRESULT Mesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
    if (size == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (table != nullptr) {
        std::copy(m_attributeTable.begin(), m_attributeTable.end(), table);
    }
    *size = static_cast<DWORD>(m_attributeTable.size());
    return D3D_OK;
}

HRESULT Mesh::GenerateAdjacency(float epsilon, DWORD* adjacency) {
    if (adjacency == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<D3DXVECTOR3> positions(m_numVertices);
    for (DWORD v = 0; v < m_numVertices; ++v) {
        positions[v] = Position(v);
    }
    const std::vector<DWORD> indices = AllIndices();
    const std::vector<DWORD> adjacent = ComputeAdjacency(positions, indices, epsilon);
    std::copy(adjacent.begin(), adjacent.end(), adjacency);
    return D3D_OK;
}

void Mesh::ApplyFaceOrder(const std::vector<DWORD>& newToOldFace) {
    const std::vector<BYTE> oldIndices = m_indices;
    const std::vector<DWORD> oldAttributes = m_attributes;
    const std::size_t faceBytes = 3 * (WideIndices() ? 4 : 2);
    for (DWORD face = 0; face < m_numFaces; ++face) {
        std::memcpy(&m_indices[face * faceBytes], &oldIndices[newToOldFace[face] * faceBytes], faceBytes);
        m_attributes[face] = oldAttributes[newToOldFace[face]];
    }
}

void Mesh::ApplyVertexOrder(const std::vector<DWORD>& newToOldVertex) {
    const std::vector<BYTE> oldVertices = m_vertices;
    std::vector<DWORD> oldToNew(m_numVertices, 0);
    for (DWORD v = 0; v < m_numVertices; ++v) {
        std::memcpy(&m_vertices[std::size_t(v) * m_stride],
                    &oldVertices[std::size_t(newToOldVertex[v]) * m_stride], m_stride);
        oldToNew[newToOldVertex[v]] = v;
    }
    for (std::size_t i = 0; i < std::size_t(m_numFaces) * 3; ++i) {
        SetIndex(i, oldToNew[Index(i)]);
    }
}

void Mesh::BuildAttributeTable() {
    m_attributeTable.clear();
    for (DWORD face = 0; face < m_numFaces; ++face) {
        DWORD low = std::numeric_limits<DWORD>::max();
        DWORD high = 0;
        for (int corner = 0; corner < 3; ++corner) {
            low = std::min(low, Index(std::size_t(face) * 3 + corner));
            high = std::max(high, Index(std::size_t(face) * 3 + corner));
        }
        if (m_attributeTable.empty() || m_attributeTable.back().AttribId != m_attributes[face]) {
            m_attributeTable.push_back({m_attributes[face], face, 0, low, 0});
        }
        D3DXATTRIBUTERANGE& range = m_attributeTable.back();
        const DWORD end = std::max(range.VertexStart + range.VertexCount, high + 1);
        range.VertexStart = std::min(range.VertexStart, low);
        range.VertexCount = end - range.VertexStart;
        ++range.FaceCount;
    }
}

HRESULT Mesh::OptimizeInplace(DWORD flags, const DWORD* adjacencyIn, DWORD* adjacencyOut, DWORD* faceRemap,
                              ID3DXBuffer** vertexRemap) {
    for (std::size_t i = 0; i < std::size_t(m_numFaces) * 3; ++i) {
        if (Index(i) >= m_numVertices) {
            return D3DXERR_INVALIDMESH;
        }
    }
    std::vector<DWORD> faceOrder(m_numFaces);
    std::iota(faceOrder.begin(), faceOrder.end(), 0);
    std::stable_sort(faceOrder.begin(), faceOrder.end(),
                     [&](DWORD a, DWORD b) { return m_attributes[a] < m_attributes[b]; });
    ApplyFaceOrder(faceOrder);
    if ((flags & (D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_STRIPREORDER)) != 0) {
        const std::vector<DWORD> indices = AllIndices();
        const std::vector<DWORD> cacheOrder = VertexCacheFaceOrder(indices, m_attributes, m_numVertices);
        ApplyFaceOrder(cacheOrder);
        std::vector<DWORD> composed(m_numFaces);
        for (DWORD f = 0; f < m_numFaces; ++f) {
            composed[f] = faceOrder[cacheOrder[f]];
        }
        faceOrder = std::move(composed);
    }
    std::vector<DWORD> vertexOrder(m_numVertices);
    std::iota(vertexOrder.begin(), vertexOrder.end(), 0);
    if ((flags & D3DXMESHOPT_IGNOREVERTS) == 0) {
        const std::vector<DWORD> indices = AllIndices();
        vertexOrder = FirstUseVertexOrder(indices, m_numVertices);
        ApplyVertexOrder(vertexOrder);
    }
    BuildAttributeTable();
    m_buffersStale = true;
    if (adjacencyOut != nullptr && adjacencyIn != nullptr) {
        const std::vector<DWORD> remapped = RemapAdjacency(adjacencyIn, faceOrder);
        std::copy(remapped.begin(), remapped.end(), adjacencyOut);
    }
    if (faceRemap != nullptr) {
        std::copy(faceOrder.begin(), faceOrder.end(), faceRemap);
    }
    if (vertexRemap != nullptr && SUCCEEDED(D3DXCreateBuffer(m_numVertices * sizeof(DWORD), vertexRemap))) {
        std::memcpy((*vertexRemap)->GetBufferPointer(), vertexOrder.data(),
                    vertexOrder.size() * sizeof(DWORD));
    }
    return D3D_OK;
}

}  // namespace d3dx8
