#pragma once
// An X-model: the root frame "CD3DFile_Root" of a loaded X-file, with the flattened copy that
// the deferral buffer draws in batches.

#include <cstdint>
#include <string>
#include <vector>

#include "render/d3d_frame.h"

// One vertex of the flattened copy: 32 bytes.
struct tFlatVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    float u = 0.0f;
    float v = 0.0f;
};
static_assert(sizeof(tFlatVertex) == 32);

class CD3DFile : public CD3DFrame {
public:
    CD3DFile();
    ~CD3DFile() override;

    // Negative on failure: the reader's or the mesh loader's error.
    HRESULT Create(IDirect3DDevice8* device, const std::string& path);
    HRESULT CreateFromMemory(IDirect3DDevice8* device, const void* bytes, DWORD size,
                             const std::string& path);

    HRESULT Render(IDirect3DDevice8* device, const D3DXMATRIX& world);
    // Min and max over the drawn meshes under the matrix; the empty box is min (0, 0, 0) and
    // max all -1.1920929e-7.
    void GetBoundingBox(const D3DXMATRIX& world, D3DXVECTOR3& min, D3DXVECTOR3& max) const;

    // Built once: the one mesh of the model in model space. False (for good) when the model
    // has more or fewer than one mesh, more than one material or 32-bit indices.
    bool GetFlattened(D3DMATERIAL8& material, IDirect3DTexture8*& texture,
                      const std::vector<tFlatVertex>*& vertices, const std::vector<std::uint16_t>*& indices);
    bool IsDeferrable() const { return m_deferrable; }

private:
    HRESULT Load(IDirect3DDevice8* device, const void* source, DWORD options, const std::string& path);
    bool BuildFlattened();
    bool FlattenFrame(CD3DFrame& frame, const D3DXMATRIX& parentWorld);
    bool FlattenMesh(CD3DMesh& mesh, const D3DXMATRIX& world);

    bool m_deferrable = true;
    bool m_built = false;
    bool m_flattenedAny = false;
    D3DMATERIAL8 m_flatMaterial{};
    IDirect3DTexture8* m_flatTexture = nullptr;
    std::vector<tFlatVertex> m_flatVertices;
    std::vector<std::uint16_t> m_flatIndices;
};
