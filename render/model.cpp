#include "render/model.h"

#include "ai/light_manager.h"

#include <algorithm>
#include <cmath>

#include "app/camera_manager.h"
#include "app/debug_log.h"
#include "render/application_device.h"
#include "render/d3d_file.h"
#include "render/texture_cache.h"
#include "render/xmodel_manager.h"
#include "resource/name_atom.h"
#include "resource/paths.h"
#include "resource/xml.h"
#include "resource/xml_cache.h"

namespace {

constexpr float kEpsilon = 1.1920929e-7f;

D3DXMATRIX Identity() {
    D3DXMATRIX matrix;
    D3DXMatrixIdentity(&matrix);
    return matrix;
}

DWORD ParseCullMode(const std::string& text, DWORD fallback) {
    if (EqualsIgnoringCase(text, "CCW")) {
        return D3DCULL_CCW;
    }
    if (EqualsIgnoringCase(text, "CW")) {
        return D3DCULL_CW;
    }
    if (EqualsIgnoringCase(text, "NONE")) {
        return D3DCULL_NONE;
    }
    return fallback;
}

DWORD ParseFilter(const std::string& text) {
    if (EqualsIgnoringCase(text, "NONE")) {
        return D3DTEXF_NONE;
    }
    if (EqualsIgnoringCase(text, "POINT")) {
        return D3DTEXF_POINT;
    }
    if (EqualsIgnoringCase(text, "LINEAR")) {
        return D3DTEXF_LINEAR;
    }
    CDebugLog::Instance().LogLevel(1, "Unknown texture filter type met: %s. Setting POINT.", text.c_str());
    return D3DTEXF_POINT;
}

// The factor's colour scaled by its own alpha, with alpha forced to 255.
DWORD PremultipliedFactor(DWORD factor) {
    const DWORD alpha = factor >> 24;
    return 0xFF000000u | (((factor & 0xFF0000u) * alpha) / 255 & 0xFF0000u) |
           (((factor & 0xFF00u) * alpha) / 255 & 0xFF00u) | (((factor & 0xFFu) * alpha) / 255 & 0xFFu);
}

// The plane under a point transform, given the inverse transpose of that transform.
D3DXPLANE TransformPlane(const D3DXPLANE& p, const D3DXMATRIX& m) {
    D3DXPLANE out;
    out.a = p.a * m._11 + p.b * m._21 + p.c * m._31 + p.d * m._41;
    out.b = p.a * m._12 + p.b * m._22 + p.c * m._32 + p.d * m._42;
    out.c = p.a * m._13 + p.b * m._23 + p.c * m._33 + p.d * m._43;
    out.d = p.a * m._14 + p.b * m._24 + p.c * m._34 + p.d * m._44;
    return out;
}

bool LoadMaterialTextures(CD3DMesh* mesh, void* /*context*/) {
    for (DWORD i = 0; i < mesh->GetMaterialCount(); ++i) {
        if (!mesh->GetTextureName(i).empty() && mesh->GetTexture(i) == nullptr) {
            mesh->SetTexture(i, CTextureCache::Instance().LoadTexture(
                                    mesh->GetTextureName(i), D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN,
                                    D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr));
        }
    }
    return true;
}

bool SetSpecularMaterial(CD3DMesh* mesh, void* context) {
    const auto* specular = static_cast<const D3DMATERIAL8*>(context);
    for (DWORD i = 0; i < mesh->GetMaterialCount(); ++i) {
        mesh->GetMaterial(i).Specular = specular->Specular;
        mesh->GetMaterial(i).Power = specular->Power;
    }
    return true;
}

}  // namespace

CModel::CModel()
    : m_localTransform(Identity()),
      m_boxMin(0.0f, 0.0f, 0.0f),
      m_boxMax(-kEpsilon, -kEpsilon, -kEpsilon),
      m_specularColor(0.0f, 0.0f, 0.0f),
      m_textureTransform(Identity()) {}

CModel::~CModel() {
    DeleteStateBlock();
}

void CModel::Reset() {
    m_xModel = nullptr;
    m_ownedXModel.reset();
    m_useAlpha = false;
    m_zWrite = true;
    m_zBuffer = true;
    m_name.clear();
}

bool CModel::Load(const std::string& documentName) {
    Reset();
    const enXml* document = XmlCache::Instance().Load(documentName);
    if (!document) {
        return false;
    }
    const enXml& root = *document;
    if (root.GetName()->Text() != "Model") {
        CDebugLog::Instance().LogLevel(1, "Failed to create Model by XML: %s -- tag name must be \"Model\".",
                                       documentName.c_str());
        return false;
    }
    root.GetAttributeString("Name", m_name);
    std::string fileName;
    root.GetValueString("FileName", fileName);
    ReadSettings(root);
    const std::string xFilePath = ResolvePath(fileName, root.GetSourceName());
    m_xModel = CXModelManager::Instance().GetModelByFileName(xFilePath, m_cachable);
    if (!m_xModel) {
        Reset();
        return false;
    }
    if (!m_cachable) {
        m_ownedXModel.reset(m_xModel);
    }
    LoadMeshTextures();
    ReadLocalTransform(root);
    ComputeBounds();
    if (m_specular) {
        ApplySpecularMaterials();
    }
    return true;
}

void CModel::ReadSettings(const enXml& root) {
    root.GetValueBool("bUseAlpha", m_useAlpha);
    m_alphaFunction = eAlphaFunction::kNormal;
    std::string text;
    if (root.GetValueString("sAlphaFunction", text)) {
        m_alphaFunction = EqualsIgnoringCase(text, "Add")        ? eAlphaFunction::kAdd
                          : EqualsIgnoringCase(text, "Saturate") ? eAlphaFunction::kSaturate
                                                                 : eAlphaFunction::kNormal;
    }
    if (root.GetValueString("sCullMode", text)) {
        m_cullMode = ParseCullMode(text, m_cullMode);
    }
    if (root.GetValueString("sMIPFilter", text)) {
        m_mipFilter = ParseFilter(text);
    }
    if (root.GetValueString("sMINMAGFilter", text)) {
        m_minMagFilter = ParseFilter(text);
    }
    if (m_useAlpha) {
        m_zWrite = false;
    }
    root.GetValueBool("bZBufferEnable", m_zBuffer);
    root.GetValueBool("bZWriteEnable", m_zWrite);
    root.GetValueBool("bEnableLighting", m_lighting);
    root.GetValueBool("bEnableDynamicLighting", m_dynamicLighting);
    root.GetValueBool("bCastShadow", m_castShadow);
    root.GetValueBool("bEnableSpecular", m_specular);
    root.GetValueVector("p3SpecularColor", m_specularColor);
    root.GetValueFloat("fSpecularPower", m_specularPower);
    std::uint32_t factor = m_textureFactor;
    root.GetValueHex("dwTextureFactor", factor);
    m_textureFactor = factor;
    root.GetValueBool("b2D", m_2D);
    root.GetValueBool("bCachable", m_cachable);
    root.GetValueBool("bDeferrable", m_deferrable);
}

void CModel::ReadLocalTransform(const enXml& root) {
    D3DXVECTOR3 position(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 rotation(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 scale(1.0f, 1.0f, 1.0f);
    root.GetValueVector("p3Position", position);
    root.GetValueVector("p3Rotation", rotation);
    root.GetValueVector("p3Scale", scale);
    const D3DXVECTOR3 scaleOffset = scale - D3DXVECTOR3(1.0f, 1.0f, 1.0f);
    if (D3DXVec3LengthSq(&position) <= kEpsilon && D3DXVec3LengthSq(&rotation) <= kEpsilon &&
        D3DXVec3LengthSq(&scaleOffset) <= kEpsilon) {
        return;
    }
    const auto radians = [](float degrees) { return degrees * (1.0f / 180.0f) * D3DX_PI; };
    D3DXMATRIX rx, ry, rz;
    D3DXMatrixRotationX(&rx, radians(rotation.x));
    D3DXMatrixRotationY(&ry, radians(rotation.y));
    D3DXMatrixRotationZ(&rz, radians(rotation.z));
    D3DXMATRIX& m = m_localTransform;
    D3DXMatrixMultiply(&m, &rx, &ry);
    D3DXMatrixMultiply(&m, &m, &rz);
    m._41 = position.x;
    m._42 = position.y;
    m._43 = position.z;
    m._14 = m._24 = m._34 = 0.0f;
    m._44 = 1.0f;
    const float scales[3] = {scale.x, scale.y, scale.z};
    float* rows[3] = {&m._11, &m._21, &m._31};
    for (int row = 0; row < 3; ++row) {
        float* r = rows[row];
        const float length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
        for (int column = 0; column < 3; ++column) {
            r[column] = r[column] / length * scales[row];
        }
    }
    m_hasLocalTransform = true;
}

void CModel::ComputeBounds() {
    m_xModel->GetBoundingBox(Identity(), m_boxMin, m_boxMax);
    const float x = std::max(std::fabs(m_boxMin.x), std::fabs(m_boxMax.x));
    const float y = std::max(std::fabs(m_boxMin.y), std::fabs(m_boxMax.y));
    const float z = std::max(std::fabs(m_boxMin.z), std::fabs(m_boxMax.z));
    m_radius = std::sqrt(x * x + y * y + z * z);
}

void CModel::ApplySpecularMaterials() {
    D3DMATERIAL8 specular{};
    specular.Specular = {m_specularColor.x, m_specularColor.y, m_specularColor.z, 1.0f};
    specular.Power = m_specularPower;
    m_xModel->EnumMeshes(&SetSpecularMaterial, &specular);
}

void CModel::LoadMeshTextures() {
    m_xModel->EnumMeshes(&LoadMaterialTextures, nullptr);
}

D3DXMATRIX CModel::FinalMatrix(const D3DXMATRIX& world) const {
    D3DXMATRIX placed = world;
    if (m_2D) {
        placed._42 = world._43;
        placed._43 = -world._42;
    }
    if (!m_hasLocalTransform) {
        return placed;
    }
    D3DXMATRIX final;
    D3DXMatrixMultiply(&final, &m_localTransform, &placed);
    return final;
}

void CModel::GetBoundingBox(const D3DXMATRIX& world, D3DXVECTOR3& minimum, D3DXVECTOR3& maximum) const {
    if (!m_xModel) {
        minimum = m_boxMin;
        maximum = m_boxMax;
        return;
    }
    m_xModel->GetBoundingBox(FinalMatrix(world), minimum, maximum);
}

void CModel::SetAlpha(std::uint8_t alpha) {
    m_textureFactor = (m_textureFactor & 0x00FFFFFFu) | (DWORD(alpha) << 24);
    DeleteStateBlock();
}

std::size_t CModel::AddClipPlane(const D3DXPLANE& plane) {
    m_clipPlanes.push_back(plane);
    return m_clipPlanes.size() - 1;
}

void CModel::SetClipPlane(std::size_t index, const D3DXPLANE& plane) {
    if (index < m_clipPlanes.size()) {
        m_clipPlanes[index] = plane;
    }
}

void CModel::SetTextureTransform(const D3DXMATRIX& transform, bool enabled) {
    m_textureTransform = transform;
    m_textureTransformEnabled = enabled;
}

void CModel::RecordStateBlock(IDirect3DDevice8* device) {
    device->BeginStateBlock();
    device->SetRenderState(D3DRS_ZENABLE, m_zBuffer);
    device->SetRenderState(D3DRS_ZWRITEENABLE, m_zWrite);
    device->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    device->SetRenderState(D3DRS_SPECULARENABLE, m_specular);
    device->SetRenderState(D3DRS_CULLMODE, m_cullMode);
    for (DWORD stage : {0u, 1u}) {
        device->SetTextureStageState(stage, D3DTSS_MAGFILTER, m_minMagFilter);
        device->SetTextureStageState(stage, D3DTSS_MINFILTER, m_minMagFilter);
        device->SetTextureStageState(stage, D3DTSS_MIPFILTER, m_mipFilter);
    }
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, m_useAlpha);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, m_textureFactor);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    if (m_useAlpha) {
        RecordAlphaStates(device);
    } else {
        RecordOpaqueStates(device);
    }
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 15);
    device->EndStateBlock(&m_stateBlock);
    m_stateBlockDevice = device;
}

void CModel::RecordAlphaStates(IDirect3DDevice8* device) {
    const bool lit = m_lighting || m_dynamicLighting;
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
    if (m_alphaFunction == eAlphaFunction::kSaturate) {
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    } else if (m_alphaFunction == eAlphaFunction::kAdd) {
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        if (lit) {
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
            device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE);
            device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MULTIPLYADD);
            device->SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_CURRENT);
            device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
            device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        } else {
            device->SetRenderState(D3DRS_TEXTUREFACTOR, PremultipliedFactor(m_textureFactor));
        }
    } else {
        if (lit) {
            device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
            device->SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_CURRENT);
            device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
            device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        }
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    }
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0);
}

void CModel::RecordOpaqueStates(IDirect3DDevice8* device) {
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    if (!m_lighting && m_dynamicLighting) {
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    } else {
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    }
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
}

void CModel::DeleteStateBlock() {
    if (m_stateBlock != 0 && m_stateBlockDevice) {
        m_stateBlockDevice->DeleteStateBlock(m_stateBlock);
    }
    m_stateBlock = 0;
    m_stateBlockDevice = nullptr;
}

void CModel::SetupRender(IDirect3DDevice8* device) {
    CCameraManager& cameras = CCameraManager::Instance();
    if (m_2D) {
        cameras.ApplyScreenSpaceCamera(device);
    } else {
        cameras.ApplySceneCamera(device);
    }
    if (m_stateBlock == 0 || m_stateBlockDevice != device) {
        DeleteStateBlock();
        RecordStateBlock(device);
    }
    device->ApplyStateBlock(m_stateBlock);
    device->SetRenderState(D3DRS_LIGHTING, m_lighting || m_dynamicLighting);
    if (m_lighting || m_dynamicLighting) {
        CLightManager::Instance().ApplyToDevice(device, m_lighting, m_dynamicLighting);
    }
    if (m_textureTransformEnabled) {
        device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        device->SetTransform(D3DTS_TEXTURE0, &m_textureTransform);
    } else {
        device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    }
}

void CModel::Render(const D3DXMATRIX& world) {
    IDirect3DDevice8* device = GetApplicationDevice();
    if (!m_xModel || !device) {
        return;
    }
    if (m_deferrable) {
        // Clip planes cannot be batched, and a refusal stands: both end deferring for good.
        if (m_clipPlanes.empty() && CDeferralBuffer::Instance().Add(m_deferral, *this, FinalMatrix(world))) {
            return;
        }
        m_deferrable = false;
    }
    CDeferralBuffer::Instance().Flush(false);
    SetupRender(device);
    const D3DXMATRIX matrix = FinalMatrix(world);
    if (m_clipPlanes.empty()) {
        m_xModel->Render(device, matrix);
    } else {
        DrawWithClipPlanes(device, matrix);
    }
}

void CModel::DrawWithClipPlanes(IDirect3DDevice8* device, const D3DXMATRIX& matrix) {
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, (1u << m_clipPlanes.size()) - 1);
    D3DXMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &matrix);
    D3DXMATRIX inverseTranspose;
    D3DXMatrixTranspose(&inverseTranspose, &inverse);
    for (std::size_t i = 0; i < m_clipPlanes.size(); ++i) {
        const D3DXPLANE plane = TransformPlane(m_clipPlanes[i], inverseTranspose);
        device->SetClipPlane(static_cast<DWORD>(i), &plane.a);
    }
    m_xModel->Render(device, matrix);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
}

void CModel::InitDeviceObjects(IDirect3DDevice8* /*device*/) {
    DeleteStateBlock();
}

void CModel::RestoreDeviceObjects() {
    DeleteStateBlock();
    if (m_ownedXModel) {
        m_ownedXModel->RestoreDeviceObjects(GetApplicationDevice());
    }
}

void CModel::InvalidateDeviceObjects() {
    DeleteStateBlock();
    if (m_ownedXModel) {
        m_ownedXModel->InvalidateDeviceObjects();
    }
}

void CModel::DeleteDeviceObjects() {
    DeleteStateBlock();
    if (m_ownedXModel) {
        m_ownedXModel->DeleteDeviceObjects();
    }
}
