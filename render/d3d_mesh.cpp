#include "render/d3d_mesh.h"

#include "resource/paths.h"

namespace {

// Names in the file are kept to the lengths the model format allows.
constexpr std::size_t kMaxNameLength = 511;
constexpr std::size_t kMaxTextureNameLength = 259;
constexpr float kEmptyBoxMax = -1.1920929e-7f;

template <class T>
void ReleaseInterface(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

}  // namespace

CD3DMesh::CD3DMesh(const std::string& name)
    : m_name(name.substr(0, kMaxNameLength)),
      m_boxMin(0.0f, 0.0f, 0.0f),
      m_boxMax(kEmptyBoxMax, kEmptyBoxMax, kEmptyBoxMax) {}

CD3DMesh::~CD3DMesh() {
    ReleaseMeshes();
}

void CD3DMesh::ReleaseMeshes() {
    ReleaseInterface(m_deviceMesh);
    ReleaseInterface(m_systemMesh);
}

HRESULT CD3DMesh::Create(IDirect3DDevice8* device, IDirectXFileData* meshData, const std::string& xFilePath) {
    m_device = device;
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD materialCount = 0;
    HRESULT result = D3DXLoadMeshFromXof(meshData, D3DXMESH_SYSTEMMEM, device, &adjacency, &materials,
                                         &materialCount, &m_systemMesh);
    if (FAILED(result)) {
        return result;
    }
    m_systemMesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, static_cast<DWORD*>(adjacency->GetBufferPointer()),
                                  nullptr, nullptr, nullptr);
    const auto* loaded = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    for (DWORD i = 0; i < materialCount; ++i) {
        D3DMATERIAL8 material = loaded[i].MatD3D;
        material.Ambient = {0.0f, 0.0f, 0.0f, 0.0f};
        material.Specular = {0.0f, 0.0f, 0.0f, 0.0f};
        m_materials.push_back(material);
        const char* texture = loaded[i].pTextureFilename;
        m_textureNames.push_back(
            texture != nullptr && *texture != '\0'
                ? ResolvePath(std::string(texture).substr(0, kMaxTextureNameLength), xFilePath)
                : std::string());
    }
    m_textures.assign(materialCount, nullptr);
    adjacency->Release();
    materials->Release();
    ComputeBoundingBox(m_systemMesh);
    return S_OK;
}

void CD3DMesh::ComputeBoundingBox(ID3DXMesh* mesh) {
    BYTE* vertices = nullptr;
    if (mesh == nullptr || FAILED(mesh->LockVertexBuffer(0, &vertices))) {
        return;
    }
    D3DXComputeBoundingBox(vertices, mesh->GetNumVertices(), mesh->GetFVF(), &m_boxMin, &m_boxMax);
    mesh->UnlockVertexBuffer();
}

HRESULT CD3DMesh::RestoreDeviceObjects(IDirect3DDevice8* device) {
    if (m_systemMesh == nullptr) {
        return E_FAIL;
    }
    ReleaseInterface(m_deviceMesh);
    m_device = device;
    const DWORD options = (m_systemMesh->GetOptions() & D3DXMESH_32BIT) | D3DXMESH_MANAGED;
    const HRESULT result = m_systemMesh->CloneMeshFVF(options, m_systemMesh->GetFVF(), device, &m_deviceMesh);
    if (SUCCEEDED(result)) {
        ComputeBoundingBox(m_deviceMesh);
    }
    return result;
}

HRESULT CD3DMesh::InvalidateDeviceObjects() {
    ReleaseInterface(m_deviceMesh);
    return S_OK;
}

HRESULT CD3DMesh::DeleteDeviceObjects() {
    ReleaseMeshes();
    m_textures.assign(m_textures.size(), nullptr);
    return S_OK;
}

ID3DXMesh* CD3DMesh::GetDeviceMesh() {
    if (m_deviceMesh == nullptr && m_device != nullptr) {
        RestoreDeviceObjects(m_device);
    }
    return m_deviceMesh;
}

HRESULT CD3DMesh::Render(IDirect3DDevice8* device) {
    ID3DXMesh* mesh = GetDeviceMesh();
    if (mesh == nullptr) {
        return E_FAIL;
    }
    for (DWORD i = 0; i < m_materials.size(); ++i) {
        if (m_useMaterials) {
            device->SetMaterial(&m_materials[i]);
            device->SetTexture(0, m_textures[i]);
        }
        mesh->DrawSubset(i);
    }
    return S_OK;
}
