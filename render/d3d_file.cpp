#include "render/d3d_file.h"

#include <cstring>

#include "platform/d3d8/vertex_format.h"

namespace {

constexpr float kEmptyBoxMax = -1.1920929e-7f;

D3DXMATRIX IdentityMatrix() {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return identity;
}

}  // namespace

CD3DFile::CD3DFile() : CD3DFrame("CD3DFile_Root") {}

CD3DFile::~CD3DFile() = default;

HRESULT CD3DFile::Create(IDirect3DDevice8* device, const std::string& path) {
    return Load(device, path.c_str(), DXFILELOAD_FROMFILE, path);
}

HRESULT CD3DFile::CreateFromMemory(IDirect3DDevice8* device, const void* bytes, DWORD size,
                                   const std::string& path) {
    DXFILELOADMEMORY memory{bytes, size};
    return Load(device, &memory, DXFILELOAD_FROMMEMORY, path);
}

HRESULT CD3DFile::Load(IDirect3DDevice8* device, const void* source, DWORD options, const std::string& path) {
    IDirectXFile* file = nullptr;
    HRESULT result = DirectXFileCreate(&file);
    if (FAILED(result)) {
        return result;
    }
    result = file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES);
    IDirectXFileEnumObject* enumObject = nullptr;
    if (SUCCEEDED(result)) {
        result = file->CreateEnumObject(source, options, &enumObject);
    }
    IDirectXFileData* data = nullptr;
    while (SUCCEEDED(result) && enumObject->GetNextDataObject(&data) == DXFILE_OK) {
        result = LoadObject(device, data, path);
        data->Release();
    }
    if (enumObject != nullptr) {
        enumObject->Release();
    }
    file->Release();
    return result;
}

HRESULT CD3DFile::Render(IDirect3DDevice8* device, const D3DXMATRIX& world) {
    return CD3DFrame::Render(device, world);
}

void CD3DFile::GetBoundingBox(const D3DXMATRIX& world, D3DXVECTOR3& min, D3DXVECTOR3& max) const {
    if (!MergeBoundingBox(world, min, max, false)) {
        min = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        max = D3DXVECTOR3(kEmptyBoxMax, kEmptyBoxMax, kEmptyBoxMax);
    }
}

bool CD3DFile::GetFlattened(D3DMATERIAL8& material, IDirect3DTexture8*& texture,
                            const std::vector<tFlatVertex>*& vertices,
                            const std::vector<std::uint16_t>*& indices) {
    if (!m_built && m_deferrable) {
        m_built = true;
        m_deferrable = BuildFlattened();
    }
    if (!m_deferrable) {
        return false;
    }
    material = m_flatMaterial;
    texture = m_flatTexture;
    vertices = &m_flatVertices;
    indices = &m_flatIndices;
    return true;
}

// The root's own mesh with the identity (its mirror is the deferral buffer's), then the child
// frames composed as drawing composes them.
bool CD3DFile::BuildFlattened() {
    const D3DXMATRIX identity = IdentityMatrix();
    m_flattenedAny = false;
    if (GetMesh() != nullptr && !FlattenMesh(*GetMesh(), identity)) {
        return false;
    }
    return (GetChild() == nullptr || FlattenFrame(*GetChild(), identity)) && m_flattenedAny;
}

bool CD3DFile::FlattenFrame(CD3DFrame& first, const D3DXMATRIX& parentWorld) {
    for (CD3DFrame* frame = &first; frame != nullptr; frame = frame->GetNext()) {
        if (frame->IsShadowModel()) {
            continue;
        }
        const D3DXMATRIX world = parentWorld * frame->GetMatrix();
        if (frame->GetMesh() != nullptr && !FlattenMesh(*frame->GetMesh(), world)) {
            return false;
        }
        if (frame->GetChild() != nullptr && !FlattenFrame(*frame->GetChild(), world)) {
            return false;
        }
    }
    return true;
}

bool CD3DFile::FlattenMesh(CD3DMesh& mesh, const D3DXMATRIX& world) {
    if (m_flattenedAny || mesh.GetMaterialCount() != 1) {
        return false;
    }
    ID3DXMesh* deviceMesh = mesh.GetDeviceMesh();
    if (deviceMesh == nullptr || (deviceMesh->GetOptions() & D3DXMESH_32BIT) != 0) {
        return false;
    }
    d3d8::VertexLayout layout;
    BYTE* vertexBytes = nullptr;
    BYTE* indexBytes = nullptr;
    if (!d3d8::DescribeVertexFormat(deviceMesh->GetFVF(), &layout) ||
        FAILED(deviceMesh->LockVertexBuffer(0, &vertexBytes))) {
        return false;
    }
    m_flattenedAny = true;
    m_flatMaterial = mesh.GetMaterial(0);
    m_flatTexture = mesh.GetTexture(0);
    m_flatVertices.resize(deviceMesh->GetNumVertices());
    for (DWORD v = 0; v < deviceMesh->GetNumVertices(); ++v) {
        const BYTE* source = vertexBytes + std::size_t(v) * layout.size;
        tFlatVertex& out = m_flatVertices[v];
        D3DXVECTOR3 position;
        std::memcpy(&position, source, sizeof position);
        D3DXVec3TransformCoord(&out.position, &position, &world);
        if (layout.normal != d3d8::kAbsent) {
            D3DXVECTOR3 normal;
            std::memcpy(&normal, source + layout.normal, sizeof normal);
            D3DXVec3TransformNormal(&out.normal, &normal, &world);
        }
        if (layout.texCoords[0] != d3d8::kAbsent) {
            std::memcpy(&out.u, source + layout.texCoords[0], sizeof(float) * 2);
        }
    }
    deviceMesh->UnlockVertexBuffer();
    if (FAILED(deviceMesh->LockIndexBuffer(0, &indexBytes))) {
        return false;
    }
    m_flatIndices.resize(std::size_t(deviceMesh->GetNumFaces()) * 3);
    std::memcpy(m_flatIndices.data(), indexBytes, m_flatIndices.size() * sizeof(std::uint16_t));
    deviceMesh->UnlockIndexBuffer();
    return true;
}
