#pragma once
// One mesh of an X-model: the system-memory mesh as loaded, its device copy (made on restore
// or on the first draw), the file's materials and the textures they name.

#include <string>
#include <vector>

#include "platform/d3dx8/mesh.h"

class CD3DMesh {
public:
    explicit CD3DMesh(const std::string& name);
    virtual ~CD3DMesh();
    CD3DMesh(const CD3DMesh&) = delete;
    CD3DMesh& operator=(const CD3DMesh&) = delete;

    // Loads the mesh data object; texture names resolve against the X-file's path.
    HRESULT Create(IDirect3DDevice8* device, IDirectXFileData* meshData, const std::string& xFilePath);

    // Sets material i and texture i (with use materials) and draws subset i, for every material.
    HRESULT Render(IDirect3DDevice8* device);

    HRESULT RestoreDeviceObjects(IDirect3DDevice8* device);
    HRESULT InvalidateDeviceObjects();
    HRESULT DeleteDeviceObjects();

    const std::string& GetName() const { return m_name; }
    ID3DXMesh* GetSystemMesh() const { return m_systemMesh; }
    // The device mesh, made first when missing; null when it cannot be made.
    ID3DXMesh* GetDeviceMesh();
    DWORD GetMaterialCount() const { return static_cast<DWORD>(m_materials.size()); }
    D3DMATERIAL8& GetMaterial(DWORD index) { return m_materials[index]; }
    const D3DMATERIAL8& GetMaterial(DWORD index) const { return m_materials[index]; }
    // Resolved full path of material i's texture; empty without one.
    const std::string& GetTextureName(DWORD index) const { return m_textureNames[index]; }
    IDirect3DTexture8* GetTexture(DWORD index) const { return m_textures[index]; }
    // Textures belong to the texture cache; the mesh only points at them.
    void SetTexture(DWORD index, IDirect3DTexture8* texture) { m_textures[index] = texture; }
    void UseMeshMaterials(bool use) { m_useMaterials = use; }

    // Box of the device mesh's vertices (system mesh before the first restore).
    const D3DXVECTOR3& GetBoxMin() const { return m_boxMin; }
    const D3DXVECTOR3& GetBoxMax() const { return m_boxMax; }

private:
    void ComputeBoundingBox(ID3DXMesh* mesh);
    void ReleaseMeshes();

    std::string m_name;
    IDirect3DDevice8* m_device = nullptr;
    ID3DXMesh* m_systemMesh = nullptr;
    ID3DXMesh* m_deviceMesh = nullptr;
    std::vector<D3DMATERIAL8> m_materials;
    std::vector<std::string> m_textureNames;
    std::vector<IDirect3DTexture8*> m_textures;
    bool m_useMaterials = true;
    D3DXVECTOR3 m_boxMin;
    D3DXVECTOR3 m_boxMax;
};
