#include "render/deferral_buffer.h"

#include <cstring>

#include "app/debug_log.h"
#include "render/application_device.h"
#include "render/model.h"
#include "render/texture_cache.h"

namespace {

constexpr UINT kVertexBytes = 36;
constexpr UINT kIndexBytes = 2;

bool SameMaterial(const D3DMATERIAL8& a, const D3DMATERIAL8& b) {
    return std::memcmp(&a, &b, sizeof(D3DMATERIAL8)) == 0;
}

// The vertex colour of a batch member: the texture factor, or for additive blending its colour
// scaled by its alpha with the alpha full.
DWORD VertexColor(const CModel& model) {
    const DWORD factor = model.GetTextureFactor();
    if (!model.UsesAlpha() || model.GetAlphaFunction() != CModel::eAlphaFunction::kAdd) {
        return factor;
    }
    const DWORD alpha = factor >> 24;
    const auto scaled = [&](int shift) { return ((((factor >> shift) & 0xFFu) * alpha) >> 8) << shift; };
    return 0xFF000000u | scaled(16) | scaled(8) | scaled(0);
}

}  // namespace

bool tDeferralKey::operator==(const tDeferralKey& other) const {
    return zWrite == other.zWrite && zBuffer == other.zBuffer && is2D == other.is2D &&
           lighting == other.lighting && dynamicLighting == other.dynamicLighting &&
           specular == other.specular && cullMode == other.cullMode && mipFilter == other.mipFilter &&
           minMagFilter == other.minMagFilter && useAlpha == other.useAlpha &&
           alphaFunction == other.alphaFunction && SameMaterial(material, other.material) &&
           texture == other.texture;
}

CDeferralBuffer::~CDeferralBuffer() {
    InvalidateDeviceObjects();
}

bool CDeferralBuffer::Prepare(tDeferralRecord& record, const CModel& model) {
    CD3DFile* xModel = model.GetXModel();
    if (!xModel) {
        return false;
    }
    tDeferralKey& key = record.key;
    key.zWrite = model.WritesDepth();
    key.zBuffer = model.UsesDepth();
    key.is2D = model.Is2D();
    key.lighting = model.UsesLighting();
    key.dynamicLighting = model.UsesDynamicLighting();
    key.specular = model.UsesSpecular();
    key.cullMode = model.GetCullMode();
    key.mipFilter = model.GetMipFilter();
    key.minMagFilter = model.GetMinMagFilter();
    key.useAlpha = model.UsesAlpha();
    key.alphaFunction = static_cast<DWORD>(model.GetAlphaFunction());
    if (!xModel->GetFlattened(key.material, key.texture, record.vertices, record.indices)) {
        return false;
    }
    // A model larger than a whole discard cycle could never fit.
    if (record.vertices->size() > kMaxVertices || record.indices->size() > kMaxIndices) {
        return false;
    }
    record.prepared = true;
    return true;
}

bool CDeferralBuffer::CreateBuffers(IDirect3DDevice8* device) {
    if (FAILED(device->CreateVertexBuffer(kMaxVertices * kVertexBytes, D3DUSAGE_DYNAMIC, kVertexFormat,
                                          D3DPOOL_DEFAULT, &m_vertexBuffer)) ||
        FAILED(device->CreateIndexBuffer(kMaxIndices * kIndexBytes, D3DUSAGE_DYNAMIC, D3DFMT_INDEX16,
                                         D3DPOOL_DEFAULT, &m_indexBuffer))) {
        InvalidateDeviceObjects();
        return false;
    }
    m_device = device;
    m_drawnVertices = m_drawnIndices = m_pendingVertices = m_pendingIndices = 0;
    if (!LockFrom(D3DLOCK_DISCARD)) {
        InvalidateDeviceObjects();
        return false;
    }
    return true;
}

bool CDeferralBuffer::LockFrom(DWORD flags) {
    BYTE* vertices = nullptr;
    BYTE* indices = nullptr;
    if (FAILED(m_vertexBuffer->Lock(m_drawnVertices * kVertexBytes, 0, &vertices, flags))) {
        return false;
    }
    if (FAILED(m_indexBuffer->Lock(m_drawnIndices * kIndexBytes, 0, &indices, flags))) {
        m_vertexBuffer->Unlock();
        return false;
    }
    m_vertices = reinterpret_cast<tBatchVertex*>(vertices);
    m_indices = reinterpret_cast<std::uint16_t*>(indices);
    return true;
}

bool CDeferralBuffer::Add(tDeferralRecord& record, CModel& model, const D3DXMATRIX& matrix) {
    IDirect3DDevice8* device = GetApplicationDevice();
    if (!device || (!record.prepared && !Prepare(record, model))) {
        return false;
    }
    if (!m_vertexBuffer && !CreateBuffers(device)) {
        return false;
    }
    if (m_pendingVertices == 0 || !(record.key == m_key)) {
        if (m_pendingVertices != 0) {
            Flush(false);
        }
        m_key = record.key;
        model.SetupRender(device);
    }
    const auto vertexCount = static_cast<UINT>(record.vertices->size());
    const auto indexCount = static_cast<UINT>(record.indices->size());
    if (m_drawnVertices + m_pendingVertices + vertexCount > kMaxVertices ||
        m_drawnIndices + m_pendingIndices + indexCount > kMaxIndices) {
        Flush(true);
    }
    if (!m_vertices) {
        return false;  // the buffers could not be locked again
    }
    Append(record, model, matrix);
    m_pendingVertices += vertexCount;
    m_pendingIndices += indexCount;
    return true;
}

void CDeferralBuffer::Append(const tDeferralRecord& record, const CModel& model, const D3DXMATRIX& m) {
    const DWORD color = VertexColor(model);
    const bool transformUv = model.IsTextureTransformEnabled();
    const D3DXMATRIX& t = model.GetTextureTransform();
    tBatchVertex* out = m_vertices + m_pendingVertices;
    for (const tFlatVertex& in : *record.vertices) {
        const D3DXVECTOR3& p = in.position;
        const D3DXVECTOR3& n = in.normal;
        out->position = {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41,
                         p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
                         p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
        out->normal = {n.x * m._11 + n.y * m._21 + n.z * m._31, n.x * m._12 + n.y * m._22 + n.z * m._32,
                       n.x * m._13 + n.y * m._23 + n.z * m._33};
        out->color = color;
        out->u = transformUv ? in.u * t._11 + in.v * t._21 + t._31 : in.u;
        out->v = transformUv ? in.u * t._12 + in.v * t._22 + t._32 : in.v;
        ++out;
    }
    std::uint16_t* indices = m_indices + m_pendingIndices;
    for (std::uint16_t index : *record.indices) {
        *indices++ = static_cast<std::uint16_t>(index + m_pendingVertices);
    }
}

void CDeferralBuffer::Flush(bool discard) {
    if (!m_vertexBuffer || m_drawnVertices + m_pendingVertices == 0 || (!discard && m_pendingVertices == 0)) {
        return;
    }
    CDebugLog& log = CDebugLog::Instance();
    IDirect3DDevice8* device = m_device;
    D3DXMATRIX mirror;
    D3DXMatrixScaling(&mirror, -1.0f, 1.0f, 1.0f);
    device->SetMaterial(&m_key.material);
    device->SetTexture(0, m_key.texture);
    device->SetTransform(D3DTS_WORLD, &mirror);
    device->SetVertexShader(kVertexFormat);
    m_vertexBuffer->Unlock();
    m_indexBuffer->Unlock();
    m_vertices = nullptr;
    m_indices = nullptr;
    log.LogLevel(3, "Rendering deferral buffer with %i vertices and %i indices. Texture \"%s\".",
                 static_cast<int>(m_pendingVertices), static_cast<int>(m_pendingIndices),
                 CTextureCache::Instance().GetTextureName(m_key.texture).c_str());
    if (m_pendingIndices >= 3) {
        device->SetStreamSource(0, m_vertexBuffer, kVertexBytes);
        device->SetIndices(m_indexBuffer, m_drawnVertices);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, m_pendingVertices, m_drawnIndices,
                                     m_pendingIndices / 3);
    }
    m_drawnVertices += m_pendingVertices;
    m_drawnIndices += m_pendingIndices;
    m_pendingVertices = m_pendingIndices = 0;
    DWORD flags = D3DLOCK_NOOVERWRITE;
    if (discard) {
        log.LogLevel(3, "Discarding deferral buffer with %i vertices and %i indices.",
                     static_cast<int>(m_drawnVertices), static_cast<int>(m_drawnIndices));
        m_drawnVertices = m_drawnIndices = 0;
        flags = D3DLOCK_DISCARD;
    }
    LockFrom(flags);
}

void CDeferralBuffer::InvalidateDeviceObjects() {
    if (m_vertexBuffer) {
        if (m_vertices) {
            m_vertexBuffer->Unlock();
        }
        m_vertexBuffer->Release();
    }
    if (m_indexBuffer) {
        if (m_indices) {
            m_indexBuffer->Unlock();
        }
        m_indexBuffer->Release();
    }
    m_vertexBuffer = nullptr;
    m_indexBuffer = nullptr;
    m_vertices = nullptr;
    m_indices = nullptr;
    m_device = nullptr;
    m_drawnVertices = m_drawnIndices = m_pendingVertices = m_pendingIndices = 0;
}
