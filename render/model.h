#pragma once
// What an entity draws: an X-model with its render settings, read from a model document, an
// optional local placement, a bounding box, user clip planes and a texture transform. The
// settings become one recorded state block.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/math.h"
#include "render/deferral_buffer.h"

class CD3DFile;
class enXml;

class CModel {
public:
    enum class eAlphaFunction { kNormal = 0, kAdd = 1, kSaturate = 2 };

    CModel();
    virtual ~CModel();
    CModel(const CModel&) = delete;
    CModel& operator=(const CModel&) = delete;

    // True when the model is ready to draw.
    bool Load(const std::string& documentName);
    void Render(const D3DXMATRIX& world);
    // The states, cameras and lights of a draw of this model.
    void SetupRender(IDirect3DDevice8* device);

    void SetAlpha(std::uint8_t alpha);
    std::uint8_t GetAlpha() const { return static_cast<std::uint8_t>(m_textureFactor >> 24); }
    std::size_t AddClipPlane(const D3DXPLANE& plane);
    void SetClipPlane(std::size_t index, const D3DXPLANE& plane);
    void SetTextureTransform(const D3DXMATRIX& transform, bool enabled);
    // The model's box under the placement, local transform and 2D arrangement included.
    void GetBoundingBox(const D3DXMATRIX& world, D3DXVECTOR3& minimum, D3DXVECTOR3& maximum) const;

    void InitDeviceObjects(IDirect3DDevice8* device);
    void RestoreDeviceObjects();
    void InvalidateDeviceObjects();
    void DeleteDeviceObjects();

    const std::string& GetName() const { return m_name; }
    bool Is2D() const { return m_2D; }
    bool UsesAlpha() const { return m_useAlpha; }
    bool IsDeferrable() const { return m_deferrable; }
    bool HasLocalTransform() const { return m_hasLocalTransform; }
    const D3DXMATRIX& GetLocalTransform() const { return m_localTransform; }
    const D3DXVECTOR3& GetBoxMin() const { return m_boxMin; }
    const D3DXVECTOR3& GetBoxMax() const { return m_boxMax; }
    float GetRadius() const { return m_radius; }
    DWORD GetTextureFactor() const { return m_textureFactor; }
    DWORD GetCullMode() const { return m_cullMode; }
    eAlphaFunction GetAlphaFunction() const { return m_alphaFunction; }
    CD3DFile* GetXModel() const { return m_xModel; }
    bool WritesDepth() const { return m_zWrite; }
    bool UsesDepth() const { return m_zBuffer; }
    bool UsesLighting() const { return m_lighting; }
    bool UsesDynamicLighting() const { return m_dynamicLighting; }
    bool UsesSpecular() const { return m_specular; }
    DWORD GetMipFilter() const { return m_mipFilter; }
    DWORD GetMinMagFilter() const { return m_minMagFilter; }
    bool IsTextureTransformEnabled() const { return m_textureTransformEnabled; }
    const D3DXMATRIX& GetTextureTransform() const { return m_textureTransform; }

    // The matrix a draw uses: the world matrix in the 2D arrangement for a 2D model, after the
    // local transform when there is one.
    D3DXMATRIX FinalMatrix(const D3DXMATRIX& world) const;

private:
    void Reset();
    void ReadSettings(const enXml& root);
    void ReadLocalTransform(const enXml& root);
    void ComputeBounds();
    void ApplySpecularMaterials();
    void LoadMeshTextures();
    void RecordStateBlock(IDirect3DDevice8* device);
    void RecordAlphaStates(IDirect3DDevice8* device);
    void RecordOpaqueStates(IDirect3DDevice8* device);
    void DeleteStateBlock();
    void DrawWithClipPlanes(IDirect3DDevice8* device, const D3DXMATRIX& matrix);

    std::string m_name;
    CD3DFile* m_xModel = nullptr;
    std::unique_ptr<CD3DFile> m_ownedXModel;  // a model that is not cachable owns its X-model
    bool m_cachable = true;
    bool m_hasLocalTransform = false;
    bool m_useAlpha = false;
    bool m_zWrite = true;
    bool m_zBuffer = true;
    bool m_2D = false;
    bool m_deferrable = false;
    bool m_lighting = false;
    bool m_dynamicLighting = false;
    bool m_castShadow = false;
    bool m_specular = false;
    bool m_textureTransformEnabled = false;
    D3DXMATRIX m_localTransform;
    eAlphaFunction m_alphaFunction = eAlphaFunction::kNormal;
    D3DXVECTOR3 m_boxMin;
    D3DXVECTOR3 m_boxMax;
    float m_radius = 0.0f;
    D3DXVECTOR3 m_specularColor;
    float m_specularPower = 10.0f;
    DWORD m_textureFactor = 0xFFFFFFFF;
    DWORD m_cullMode = D3DCULL_CW;
    DWORD m_mipFilter = D3DTEXF_POINT;
    DWORD m_minMagFilter = D3DTEXF_POINT;
    D3DXMATRIX m_textureTransform;
    std::vector<D3DXPLANE> m_clipPlanes;
    tDeferralRecord m_deferral;
    IDirect3DDevice8* m_stateBlockDevice = nullptr;
    DWORD m_stateBlock = 0;
};
