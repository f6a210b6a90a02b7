#pragma once
// A named frame of an X-model: a transform, at most one mesh, child and sibling frames. Frames
// named "$ShadowModel" belong to the file but are never drawn, boxed or flattened.

#include <memory>
#include <string>

#include "platform/d3dx8/mesh.h"
#include "render/d3d_mesh.h"

class CD3DFrame;
using tMeshCallback = bool (*)(CD3DMesh* mesh, void* context);

class CD3DFrame {
public:
    explicit CD3DFrame(const std::string& name);
    virtual ~CD3DFrame();
    CD3DFrame(const CD3DFrame&) = delete;
    CD3DFrame& operator=(const CD3DFrame&) = delete;

    // Draws this frame, the siblings after it and their children; parentWorld applies before
    // each frame's matrix.
    HRESULT Render(IDirect3DDevice8* device, const D3DXMATRIX& parentWorld);
    // Calls back every mesh of this frame, the siblings after it and their children (the
    // shadow model's too); stops when the callback returns false.
    bool EnumMeshes(tMeshCallback callback, void* context);

    HRESULT RestoreDeviceObjects(IDirect3DDevice8* device);
    HRESULT InvalidateDeviceObjects();
    // Releases every mesh and destroys the child frames.
    HRESULT DeleteDeviceObjects();

    const std::string& GetName() const { return m_name; }
    bool IsShadowModel() const;
    D3DXMATRIX& GetMatrix() { return m_matrix; }
    const D3DXMATRIX& GetMatrix() const { return m_matrix; }
    CD3DMesh* GetMesh() const { return m_mesh.get(); }
    CD3DFrame* GetChild() const { return m_child.get(); }
    CD3DFrame* GetNext() const { return m_next.get(); }

protected:
    // Loads one data object of the file into this frame; E_FAIL for a second mesh.
    HRESULT LoadObject(IDirect3DDevice8* device, IDirectXFileData* data, const std::string& xFilePath);
    // Merges the boxes of the drawn meshes below parentWorld into min/max; false when none.
    bool MergeBoundingBox(const D3DXMATRIX& parentWorld, D3DXVECTOR3& min, D3DXVECTOR3& max, bool any) const;

    friend class CD3DFile;

private:
    HRESULT LoadFrame(IDirect3DDevice8* device, IDirectXFileData* data, const std::string& xFilePath);
    HRESULT LoadMesh(IDirect3DDevice8* device, IDirectXFileData* data, const std::string& xFilePath);

    std::string m_name;
    D3DXMATRIX m_matrix;
    std::unique_ptr<CD3DMesh> m_mesh;
    std::unique_ptr<CD3DFrame> m_next;
    std::unique_ptr<CD3DFrame> m_child;
};
