#pragma once
// Batches small static models of equal render settings: their vertices are placed on the
// processor into one dynamic vertex and index buffer, and every run of equal settings is drawn
// as one indexed triangle list.

#include <cstdint>
#include <vector>

#include "engine/singleton.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/math.h"
#include "render/d3d_file.h"

class CModel;

// The settings a batch shares; the texture factor is not among them, it goes into the vertex
// colours.
struct tDeferralKey {
    bool zWrite = false;
    bool zBuffer = false;
    bool is2D = false;
    bool lighting = false;
    bool dynamicLighting = false;
    bool specular = false;
    DWORD cullMode = 0;
    DWORD mipFilter = 0;
    DWORD minMagFilter = 0;
    bool useAlpha = false;
    DWORD alphaFunction = 0;
    D3DMATERIAL8 material{};
    IDirect3DTexture8* texture = nullptr;

    bool operator==(const tDeferralKey& other) const;
};

// What the buffer keeps of one model: its key and its flattened geometry.
struct tDeferralRecord {
    bool prepared = false;
    tDeferralKey key;
    const std::vector<tFlatVertex>* vertices = nullptr;
    const std::vector<std::uint16_t>* indices = nullptr;
};

class CDeferralBuffer : public tmSingleton<CDeferralBuffer> {
public:
    static constexpr UINT kMaxVertices = 65536;
    static constexpr UINT kMaxIndices = 262144;
    static constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;  // 338

    ~CDeferralBuffer();

    // True when the model was taken into the batch; false when it cannot be deferred.
    bool Add(tDeferralRecord& record, CModel& model, const D3DXMATRIX& matrix);
    // Draws the pending batch; with discard the buffers start over.
    void Flush(bool discard);
    void InvalidateDeviceObjects();

private:
    friend class tmSingleton<CDeferralBuffer>;
    CDeferralBuffer() = default;

    struct tBatchVertex {
        D3DXVECTOR3 position;
        D3DXVECTOR3 normal;
        DWORD color;
        float u, v;
    };
    static_assert(sizeof(tBatchVertex) == 36);

    static bool Prepare(tDeferralRecord& record, const CModel& model);
    bool CreateBuffers(IDirect3DDevice8* device);
    bool LockFrom(DWORD flags);
    void Append(const tDeferralRecord& record, const CModel& model, const D3DXMATRIX& matrix);

    IDirect3DDevice8* m_device = nullptr;
    tDeferralKey m_key;
    IDirect3DVertexBuffer8* m_vertexBuffer = nullptr;
    IDirect3DIndexBuffer8* m_indexBuffer = nullptr;
    tBatchVertex* m_vertices = nullptr;
    std::uint16_t* m_indices = nullptr;
    UINT m_drawnVertices = 0;
    UINT m_drawnIndices = 0;
    UINT m_pendingVertices = 0;
    UINT m_pendingIndices = 0;
};
