#include "render/d3d_frame.h"

namespace {

constexpr std::size_t kMaxNameLength = 511;
constexpr char kShadowModelName[] = "$ShadowModel";

D3DXMATRIX MirrorInX() {
    D3DXMATRIX mirror;
    mirror._11 = -1.0f;
    mirror._22 = mirror._33 = mirror._44 = 1.0f;
    return mirror;
}

std::string NameOf(IDirectXFileData* data) {
    DWORD size = 0;
    data->GetName(nullptr, &size);
    std::string name(size, '\0');
    data->GetName(name.data(), &size);
    name.resize(size > 0 ? size - 1 : 0);
    return name;
}

void MergeTransformedBox(const D3DXVECTOR3& min, const D3DXVECTOR3& max, const D3DXMATRIX& world,
                         D3DXVECTOR3& outMin, D3DXVECTOR3& outMax, bool any) {
    for (int corner = 0; corner < 8; ++corner) {
        const D3DXVECTOR3 point((corner & 1) ? max.x : min.x, (corner & 2) ? max.y : min.y,
                                (corner & 4) ? max.z : min.z);
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &point, &world);
        if (!any && corner == 0) {
            outMin = outMax = placed;
        }
        D3DXVec3Minimize(&outMin, &outMin, &placed);
        D3DXVec3Maximize(&outMax, &outMax, &placed);
    }
}

}  // namespace

CD3DFrame::CD3DFrame(const std::string& name)
    : m_name(name.substr(0, kMaxNameLength)), m_matrix(MirrorInX()) {}

// Siblings are released one after another, so long sibling lists cannot exhaust the stack.
CD3DFrame::~CD3DFrame() {
    while (m_next) {
        std::unique_ptr<CD3DFrame> following = std::move(m_next->m_next);
        m_next = std::move(following);
    }
}

bool CD3DFrame::IsShadowModel() const {
    return m_name == kShadowModelName;
}

HRESULT CD3DFrame::LoadObject(IDirect3DDevice8* device, IDirectXFileData* data,
                              const std::string& xFilePath) {
    switch (data->GetType()) {
        case dxfile::XDataType::Mesh:
            return LoadMesh(device, data, xFilePath);
        case dxfile::XDataType::FrameTransformMatrix:
            m_matrix = D3DXMATRIX(data->Object().As<dxfile::XMatrixData>().values.data());
            return S_OK;
        case dxfile::XDataType::Frame:
            return LoadFrame(device, data, xFilePath);
        default:
            return S_OK;
    }
}

HRESULT CD3DFrame::LoadMesh(IDirect3DDevice8* device, IDirectXFileData* data, const std::string& xFilePath) {
    if (m_mesh) {
        return E_FAIL;
    }
    m_mesh = std::make_unique<CD3DMesh>(NameOf(data));
    return m_mesh->Create(device, data, xFilePath);
}

HRESULT CD3DFrame::LoadFrame(IDirect3DDevice8* device, IDirectXFileData* data, const std::string& xFilePath) {
    auto frame = std::make_unique<CD3DFrame>(NameOf(data));
    frame->m_next = std::move(m_child);
    m_child = std::move(frame);
    IDirectXFileData* child = nullptr;
    HRESULT result = S_OK;
    while (SUCCEEDED(result) && data->GetNextObject(&child) == DXFILE_OK) {
        result = m_child->LoadObject(device, child, xFilePath);
        child->Release();
    }
    return result;
}

HRESULT CD3DFrame::Render(IDirect3DDevice8* device, const D3DXMATRIX& parentWorld) {
    for (CD3DFrame* frame = this; frame != nullptr; frame = frame->m_next.get()) {
        if (frame->IsShadowModel()) {
            continue;
        }
        const D3DXMATRIX world = parentWorld * frame->m_matrix;
        device->SetTransform(D3DTS_WORLD, &world);
        if (frame->m_mesh) {
            frame->m_mesh->Render(device);
        }
        if (frame->m_child) {
            frame->m_child->Render(device, world);
        }
    }
    return S_OK;
}

bool CD3DFrame::MergeBoundingBox(const D3DXMATRIX& parentWorld, D3DXVECTOR3& min, D3DXVECTOR3& max,
                                 bool any) const {
    for (const CD3DFrame* frame = this; frame != nullptr; frame = frame->m_next.get()) {
        if (frame->IsShadowModel()) {
            continue;
        }
        const D3DXMATRIX world = parentWorld * frame->m_matrix;
        if (frame->m_mesh) {
            MergeTransformedBox(frame->m_mesh->GetBoxMin(), frame->m_mesh->GetBoxMax(), world, min, max, any);
            any = true;
        }
        if (frame->m_child) {
            any = frame->m_child->MergeBoundingBox(world, min, max, any);
        }
    }
    return any;
}

bool CD3DFrame::EnumMeshes(tMeshCallback callback, void* context) {
    for (CD3DFrame* frame = this; frame != nullptr; frame = frame->m_next.get()) {
        if (frame->m_mesh && !callback(frame->m_mesh.get(), context)) {
            return false;
        }
        if (frame->m_child && !frame->m_child->EnumMeshes(callback, context)) {
            return false;
        }
    }
    return true;
}

HRESULT CD3DFrame::RestoreDeviceObjects(IDirect3DDevice8* device) {
    for (CD3DFrame* frame = this; frame != nullptr; frame = frame->m_next.get()) {
        if (frame->m_mesh) {
            frame->m_mesh->RestoreDeviceObjects(device);
        }
        if (frame->m_child) {
            frame->m_child->RestoreDeviceObjects(device);
        }
    }
    return S_OK;
}

HRESULT CD3DFrame::InvalidateDeviceObjects() {
    for (CD3DFrame* frame = this; frame != nullptr; frame = frame->m_next.get()) {
        if (frame->m_mesh) {
            frame->m_mesh->InvalidateDeviceObjects();
        }
        if (frame->m_child) {
            frame->m_child->InvalidateDeviceObjects();
        }
    }
    return S_OK;
}

HRESULT CD3DFrame::DeleteDeviceObjects() {
    if (m_mesh) {
        m_mesh->DeleteDeviceObjects();
    }
    m_mesh.reset();
    m_child.reset();
    return S_OK;
}
