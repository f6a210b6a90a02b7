#include "engine/entity.h"

#include <algorithm>
#include <array>

#include "ai/affine_math.h"
#include "app/camera_manager.h"
#include "app/debug_log.h"
#include "engine/entity_manager.h"
#include "engine/game_manager.h"
#include "render/application_device.h"
#include "render/bitmap_font.h"

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

CModel* CEntity::CreateModel(const std::string& /*path*/) {
    // Models cannot be drawn yet, so none can be created: an entity that names one fails to
    // load, as for any model that fails.
    return nullptr;
}

void CEntity::Render() {
    if (!m_effectivelyVisible) {
        return;
    }
    if (m_textLabel) {
        RenderTextLabel();
    }
}

void CEntity::RenderTextLabel() {
    if (!m_font) {
        return;
    }
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
    return 0;
}

void CEntity::UpdateWorldMatrices(bool recursive) {
    // For a root the identity stands in for the parent, and the product is the copy below.
    if (const CEntity* parent = m_parentRelativeTransform ? Parent() : nullptr) {
        m_worldPlacement = MultiplyAffine(m_placement, parent->m_worldPlacement);
        m_worldTrajectory = MultiplyAffine(m_trajectory, parent->m_worldTrajectory);
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

// An entity holds device objects only through its model; without one there is nothing to pass on.
void CEntity::InitDeviceObjects(IDirect3DDevice8* /*device*/) {}
void CEntity::RestoreDeviceObjects() {}
void CEntity::InvalidateDeviceObjects() {}
void CEntity::DeleteDeviceObjects() {}

void CEntity::ComputeSortKey(const D3DXVECTOR3& viewDirection) {
    if (m_textLabel) {
        m_is2D = true;
        m_isAlpha = true;
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
