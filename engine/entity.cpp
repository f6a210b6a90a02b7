#include "engine/entity.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "ai/affine_math.h"
#include "app/camera_manager.h"
#include "app/debug_log.h"
#include "engine/entity_manager.h"
#include "engine/game_manager.h"
#include "engine/global_options.h"
#include "platform/d3dx8/mesh.h"
#include "render/application_device.h"
#include "render/bitmap_font.h"
#include "render/deferral_buffer.h"
#include "render/model.h"

namespace {

const D3DXMATRIX kIdentity(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);

}  // namespace

CEntity::CEntity()
    : m_localBoxMin(0.0f, 0.0f, 0.0f),
      m_localBoxMax(-kEntityEpsilon, -kEntityEpsilon, -kEntityEpsilon),
      m_worldBoxMin(m_localBoxMin),
      m_worldBoxMax(m_localBoxMax),
      m_placement(kIdentity),
      m_trajectory(kIdentity) {
    m_serial = enEntityManager::Instance().RegisterNewEntity(this);
}

CEntity::~CEntity() {
    // While the manager itself is going away it has already let go of its lists.
    if (enEntityManager* manager = enEntityManager::GetInstance()) {
        manager->UnregisterEntity(this);
    }
    DeleteDeviceObjects();
    m_lifeTime.reset();
    m_physics.reset();
    m_identity.reset();
    m_billboard.reset();
    m_prefixComponents.clear();
    m_suffixComponents.clear();
}

CModel* CEntity::CreateModel(const std::string& path) {
    auto model = std::make_unique<CModel>();
    if (!model->Load(path)) {
        return nullptr;
    }
    m_model = std::move(model);
    return m_model.get();
}

bool CEntity::HasModel2D() const {
    return m_model && m_model->Is2D();
}

void CEntity::Render() {
    if (!m_effectivelyVisible) {
        return;
    }
    if (m_textLabel) {
        if (!m_font) {
            return;
        }
        RenderTextLabel();
    }
    if (m_model) {
        m_model->Render(m_worldPlacement);
    }
    if (CGlobalOptions::Instance().bRenderBoundingBoxes) {
        RenderBoundingBox();
    }
}

// A debug aid that is off by default: the unit box is made for each draw rather than kept.
void CEntity::RenderBoundingBox() {
    IDirect3DDevice8* device = GetApplicationDevice();
    ID3DXMesh* box = nullptr;
    if (!device || FAILED(D3DXCreateBox(device, 1.0f, 1.0f, 1.0f, &box, nullptr))) {
        return;
    }
    const D3DXVECTOR3 centre = (m_worldBoxMin + m_worldBoxMax) * 0.5f;
    D3DXMATRIX placement;
    D3DXMatrixScaling(&placement, std::fabs(m_worldBoxMax.x - m_worldBoxMin.x),
                      std::fabs(m_worldBoxMax.y - m_worldBoxMin.y),
                      std::fabs(m_worldBoxMax.z - m_worldBoxMin.z));
    placement._41 = centre.x;
    placement._42 = centre.y;
    placement._43 = centre.z;
    CCameraManager& cameras = CCameraManager::Instance();
    if (HasModel2D()) {
        // The 2D arrangement of the model's own drawing.
        placement._42 = centre.z;
        placement._43 = -centre.y;
        cameras.ApplyScreenSpaceCamera(device);
    } else {
        cameras.ApplySceneCamera(device);
    }
    D3DMATERIAL8 grey{};
    grey.Diffuse = grey.Ambient = {0.5f, 0.5f, 0.5f, 0.4f};
    device->SetTransform(D3DTS_WORLD, &placement);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetTexture(0, nullptr);
    device->SetMaterial(&grey);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    box->DrawSubset(0);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    box->Release();
}

void CEntity::RenderTextLabel() {
    CDeferralBuffer::Instance().Flush(false);
    CCameraManager::Instance().ApplySceneCamera(GetApplicationDevice());
    m_font->DrawText(m_worldPlacement._41, m_worldPlacement._42, m_worldPlacement._43, m_placement._11,
                     m_placement._22, m_text, m_textColor, m_textFlags);
}

void CEntity::Update() {
    if (m_identity) {
        m_identity->Update();
    }
    for (const auto& component : m_prefixComponents) {
        component->Update();
    }
    for (const auto& component : m_suffixComponents) {
        component->Update();
    }
    if (m_viewOriented && m_billboard) {
        m_billboard->Update();
    }
    if (m_physics) {
        m_physics->Update();
    }
    UpdateWorldMatrices(false);
    if (m_lifeTime) {
        m_lifeTime->Update();
    }
    for (CEntity* child = FirstChild(); child; child = child->NextSibling()) {
        if (MayTickChild(*child)) {
            child->Update();
        }
    }
}

bool CEntity::MayTickChild(const CEntity& child) const {
    if (child.m_killed) {
        return false;
    }
    return !(child.m_pausable && enGameManager::Instance().IsPaused());
}

void CEntity::Kill() {
    m_killed = true;
    enEntityManager::Instance().SetKilledFlag();
    CDebugLog::Instance().LogLevel(5, "Entity \"%s\" was killed.", m_name.c_str());
}

void CEntity::AddPrefixComponent(std::unique_ptr<C_AI> component) {
    component->SetOwner(this);
    m_prefixComponents.insert(m_prefixComponents.begin(), std::move(component));
}

void CEntity::AddSuffixComponent(std::unique_ptr<C_AI> component) {
    component->SetOwner(this);
    m_suffixComponents.push_back(std::move(component));
}

CEntity* CEntity::FindChild(std::string_view name) const {
    for (CEntity* child = FirstChild(); child; child = child->NextSibling()) {
        if (child->m_name == name) {
            return child;
        }
    }
    return nullptr;
}

void CEntity::RefreshVisibility() {
    const CEntity* parent = Parent();
    m_effectivelyVisible = m_visible && (!m_inheritVisibility || !parent || parent->m_effectivelyVisible);
    for (CEntity* child = FirstChild(); child; child = child->NextSibling()) {
        child->RefreshVisibility();
    }
}

void CEntity::SetAlpha(std::uint8_t alpha, bool recursive) {
    if (m_textLabel) {
        m_textColor = (m_textColor & 0x00FFFFFFu) | (std::uint32_t(alpha) << 24);
    } else if (m_model) {
        m_model->SetAlpha(alpha);
    }
    if (recursive) {
        for (CEntity* child = FirstChild(); child; child = child->NextSibling()) {
            child->SetAlpha(alpha, true);
        }
    }
}

std::uint8_t CEntity::GetAlpha() const {
    if (m_textLabel) {
        return static_cast<std::uint8_t>(m_textColor >> 24);
    }
    return m_model ? m_model->GetAlpha() : 0;
}

void CEntity::UpdateWorldMatrices(bool recursive) {
    // For a root the identity stands in for the parent, and the product is the copy below.
    if (const CEntity* parent = m_parentRelativeTransform ? Parent() : nullptr) {
        MultiplyAffine(m_placement, parent->m_worldPlacement, m_worldPlacement);
        MultiplyAffine(m_trajectory, parent->m_worldTrajectory, m_worldTrajectory);
    } else {
        m_worldPlacement = m_placement;
        m_worldTrajectory = m_trajectory;
    }
    if (recursive) {
        for (CEntity* child = FirstChild(); child; child = child->NextSibling()) {
            child->UpdateWorldMatrices(true);
        }
    }
}

void CEntity::UpdateWorldBoundingBox() {
    if (!m_needsWorldBoundingBox) {
        return;
    }
    const float sign = Parent() ? -1.0f : 1.0f;
    D3DXVECTOR3 minimum(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 maximum(0.0f, 0.0f, 0.0f);
    for (int corner = 0; corner < 8; ++corner) {
        const D3DXVECTOR3 local(sign * ((corner & 1) ? m_localBoxMax.x : m_localBoxMin.x),
                                (corner & 2) ? m_localBoxMax.y : m_localBoxMin.y,
                                (corner & 4) ? m_localBoxMax.z : m_localBoxMin.z);
        D3DXVECTOR3 world;
        D3DXVec3TransformCoord(&world, &local, &m_worldPlacement);
        if (corner == 0) {
            minimum = maximum = world;
        } else {
            D3DXVec3Minimize(&minimum, &minimum, &world);
            D3DXVec3Maximize(&maximum, &maximum, &world);
        }
    }
    m_worldBoxMin = minimum;
    m_worldBoxMax = maximum;
    for (CEntity* child = FirstChild(); child; child = child->NextSibling()) {
        child->UpdateWorldBoundingBox();
    }
}

D3DXMATRIX CEntity::GetParentWorldPlacement() const {
    const CEntity* parent = Parent();
    return parent ? parent->m_worldPlacement : kIdentity;
}

D3DXMATRIX CEntity::GetParentWorldTrajectory() const {
    const CEntity* parent = Parent();
    return parent ? parent->m_worldTrajectory : kIdentity;
}

// An entity holds device objects only through its model.
void CEntity::InitDeviceObjects(IDirect3DDevice8* device) {
    if (m_model) {
        m_model->InitDeviceObjects(device);
    }
}

void CEntity::RestoreDeviceObjects() {
    if (m_model) {
        m_model->RestoreDeviceObjects();
    }
}

void CEntity::InvalidateDeviceObjects() {
    if (m_model) {
        m_model->InvalidateDeviceObjects();
    }
}

void CEntity::DeleteDeviceObjects() {
    if (m_model) {
        m_model->DeleteDeviceObjects();
    }
}

void CEntity::ComputeSortKey(const D3DXVECTOR3& viewDirection) {
    if (m_textLabel) {
        m_is2D = true;
        m_isAlpha = true;
    } else if (m_model) {
        m_is2D = m_model->Is2D();
        m_isAlpha = m_model->UsesAlpha();
    }
    if (m_is2D) {
        m_sortKey = m_worldPlacement._43;
        return;
    }
    const D3DXVECTOR3 centre = (m_worldBoxMin + m_worldBoxMax) * 0.5f;
    m_sortKey = D3DXVec3Dot(&centre, &viewDirection);
}

void CEntity::SetRenderClass(bool is2D, bool isAlpha) {
    m_is2D = is2D;
    m_isAlpha = isAlpha;
}

void CEntity::SetLocalBox(const D3DXVECTOR3& minimum, const D3DXVECTOR3& maximum) {
    m_localBoxMin = minimum;
    m_localBoxMax = maximum;
}
