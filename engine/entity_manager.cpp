#include "engine/entity_manager.h"

#include <strings.h>
#include <algorithm>
#include <memory>

#include "ai/matrix_components.h"
#include "app/camera_manager.h"
#include "app/debug_log.h"
#include "engine/entity.h"
#include "engine/game_manager.h"
#include "engine/global_options.h"
#include "engine/hit_manager.h"
#include "engine/messages_broker.h"
#include "render/deferral_buffer.h"
#include "resource/paths.h"

namespace {

void RemoveFrom(std::vector<CEntity*>& list, const CEntity* entity) {
    const auto found = std::find(list.begin(), list.end(), entity);
    if (found != list.end()) {
        list.erase(found);
    }
}

// Strict order of the render sort: true when a is drawn before b.
bool DrawnBefore(const CEntity* a, const CEntity* b) {
    if (a->Is2D() != b->Is2D()) {
        return !a->Is2D();
    }
    if (a->Is2D()) {
        return a->GetSortKey() > b->GetSortKey();
    }
    if (a->IsAlpha() != b->IsAlpha()) {
        return !a->IsAlpha();
    }
    if (a->IsAlpha()) {
        // Far to near; equal keys keep their order, which the stable sort guarantees.
        return a->GetSortKey() > b->GetSortKey();
    }
    return a->GetSortKey() < b->GetSortKey();
}

}  // namespace

enEntityManager::enEntityManager() {
    LoadCatalogue(GetProgramFolder());
}

enEntityManager::~enEntityManager() {
    // Descendants go with their roots, so only the roots are deleted.
    std::vector<CEntity*> entities;
    entities.swap(m_active);
    entities.insert(entities.end(), m_new.begin(), m_new.end());
    m_new.clear();
    m_hit.clear();
    std::vector<CEntity*> roots;
    std::copy_if(entities.begin(), entities.end(), std::back_inserter(roots),
                 [](const CEntity* entity) { return entity->Parent() == nullptr; });
    for (CEntity* root : roots) {
        delete root;
    }
}

std::uint32_t enEntityManager::RegisterNewEntity(CEntity* entity) {
    static std::uint32_t s_lastSerial = 0;
    m_new.push_back(entity);
    return ++s_lastSerial;
}

void enEntityManager::UnregisterEntity(CEntity* entity) {
    RemoveFrom(m_active, entity);
    RemoveFrom(m_new, entity);
    RemoveFrom(m_hit, entity);
    // The hit records live until the next pass, and a scene change deletes entities after it.
    if (enHitManager* hits = enHitManager::GetInstance()) {
        hits->ForgetEntity(entity);
    }
}

void enEntityManager::Tick() {
    CMessagesBroker::Instance().Promote();
    ActivateNewEntities();
    TickRootEntities();
    if (m_killedFlag) {
        DeleteKilledEntities();
    }
    for (CEntity* entity : m_active) {
        if (!entity->Parent()) {
            entity->UpdateWorldBoundingBox();
        }
    }
    enHitManager& hits = enHitManager::Instance();
    hits.TestAllPairs();
    hits.TestMouse();
}

void enEntityManager::ActivateNewEntities() {
    for (CEntity* entity : m_new) {
        if (entity->GetHitGroups() != 0) {
            m_hit.push_back(entity);
        }
    }
    m_active.insert(m_active.end(), m_new.begin(), m_new.end());
    m_new.clear();
}

void enEntityManager::TickRootEntities() {
    const bool paused = enGameManager::Instance().IsPaused();
    // By index: a component may create entities, which only join the new list.
    for (std::size_t i = 0; i < m_active.size(); ++i) {
        CEntity* entity = m_active[i];
        if (entity->Parent() || entity->IsKilled() || (paused && entity->IsPausable())) {
            continue;
        }
        entity->Update();
    }
}

void enEntityManager::DeleteKilledEntities() {
    DeleteKilledIn(m_active);
    DeleteKilledIn(m_new);
    m_killedFlag = false;
}

void enEntityManager::DeleteKilledIn(std::vector<CEntity*>& list) {
    std::size_t i = 0;
    while (i < list.size()) {
        CEntity* entity = list[i];
        if (!entity->IsKilled()) {
            ++i;
            continue;
        }
        const bool hadChildren = entity->FirstChild() != nullptr;
        delete entity;  // leaves the list by itself
        // Its descendants left the list as well, anywhere in it.
        i = hadChildren ? 0 : i;
    }
}

void enEntityManager::RenderAll() {
    CDebugLog& log = CDebugLog::Instance();
    log.LogLevel(4, "Render All Entities");
    log.LogLevel(4, "Sort All Entities");
    const CCamera& camera = CCameraManager::Instance().SceneCamera();
    const D3DXVECTOR3 lookDirection = camera.lookAt - camera.eye;
    D3DXVECTOR3 viewDirection;
    D3DXVec3Normalize(&viewDirection, &lookDirection);
    for (CEntity* entity : m_active) {
        entity->ComputeSortKey(viewDirection);
    }
    std::stable_sort(m_active.begin(), m_active.end(), DrawnBefore);
    for (CEntity* entity : m_active) {
        entity->Render();
    }
    CDeferralBuffer::Instance().Flush(false);
}

CEntity* enEntityManager::FindEntityByName(std::string_view name) const {
    for (const auto* list : {&m_active, &m_new}) {
        for (CEntity* entity : *list) {
            if (entity->GetName() == name) {
                return entity;
            }
        }
    }
    return nullptr;
}

bool enEntityManager::IsAlive(std::uint32_t serial) const {
    const auto hasSerial = [serial](const CEntity* entity) { return entity->GetSerial() == serial; };
    return std::any_of(m_active.begin(), m_active.end(), hasSerial) ||
           std::any_of(m_new.begin(), m_new.end(), hasSerial);
}

void enEntityManager::DeleteAllEntities() {
    while (!m_active.empty()) {
        delete m_active.front();
    }
    while (!m_new.empty()) {
        delete m_new.front();
    }
    if (enHitManager* hits = enHitManager::GetInstance()) {
        hits->ClearHits();
    }
}

CEntity* enEntityManager::CreateEntityByName(const std::string& name) {
    const tCatalogueEntry* entry = FindCatalogueEntry(name);
    if (!entry) {
        CDebugLog::Instance().LogLevel(1, "Entity Manager Warning: Can't create entity by name: %s",
                                       name.c_str());
        return nullptr;
    }
    // The entry may move while the entity loads, so the path is copied first.
    const std::string path = entry->filePath;
    return CreateEntityFromFile(path);
}

template <class Operation>
HRESULT enEntityManager::ForEachEntity(const char* hookName, Operation operation) {
    CDebugLog& log = CDebugLog::Instance();
    log.LogLevel(3, "enEntityManager::%s()", hookName);
    for (CEntity* entity : m_active) {
        operation(*entity);
    }
    for (CEntity* entity : m_new) {
        operation(*entity);
    }
    log.LogLevel(3, "OK");
    return S_OK;
}

HRESULT enEntityManager::InitDeviceObjects(IDirect3DDevice8* device) {
    return ForEachEntity("InitDeviceObjects",
                         [device](CEntity& entity) { entity.InitDeviceObjects(device); });
}

HRESULT enEntityManager::RestoreDeviceObjects() {
    return ForEachEntity("RestoreDeviceObjects", [](CEntity& entity) { entity.RestoreDeviceObjects(); });
}

HRESULT enEntityManager::InvalidateDeviceObjects() {
    return ForEachEntity("InvalidateDeviceObjects",
                         [](CEntity& entity) { entity.InvalidateDeviceObjects(); });
}

HRESULT enEntityManager::DeleteDeviceObjects() {
    return ForEachEntity("DeleteDeviceObjects", [](CEntity& entity) { entity.DeleteDeviceObjects(); });
}

void enEntityManager::DumpEntities(const CEntity* parent, int depth) const {
    if (CGlobalOptions::Instance().iDebugInfoLevel < 2) {
        return;
    }
    CDebugLog& log = CDebugLog::Instance();
    const std::string indent(static_cast<std::size_t>(std::max(depth, 0)), '\t');
    if (!parent) {
        log.LogLevel(2, "Active Entities:");
    }
    for (const CEntity* entity : m_active) {
        if (entity->Parent() == parent) {
            log.LogLevel(2, "%s%s (%s)", indent.c_str(), entity->GetName().c_str(),
                         entity->IsEffectivelyVisible() ? "visible" : "invisible");
            DumpWorldPlacement(*entity, indent);
            DumpEntities(entity, depth + 1);
        }
    }
    if (!parent && !m_new.empty()) {
        log.LogLevel(2, "New Entities:");
    }
    for (const CEntity* entity : m_new) {
        if (entity->Parent() == parent) {
            log.LogLevel(2, "%s%s", indent.c_str(), entity->GetName().c_str());
            DumpEntities(entity, depth + 1);
        }
    }
}

void enEntityManager::DumpWorldPlacement(const CEntity& entity, const std::string& indent) const {
    if (CGlobalOptions::Instance().iDebugInfoLevel <= 2) {
        return;
    }
    CDebugLog& log = CDebugLog::Instance();
    const D3DXMATRIX& m = entity.GetWorldPlacementMatrix();
    for (int row = 0; row < 4; ++row) {
        log.LogLevel(3, "%s\t%f\t%f\t%f\t%f", indent.c_str(), m.m[row][0], m.m[row][1], m.m[row][2],
                     m.m[row][3]);
    }
    log.LogLevel(3, "%s", "");
}

CEntity* enEntityManager::CreateEntityByNameAt(const std::string& name, const D3DXMATRIX& matrix,
                                               bool flatten) {
    CEntity* entity = CreateEntityByName(name);
    if (!entity) {
        return nullptr;
    }
    D3DXMATRIX placement = matrix;
    if (flatten) {
        // Only the rotation about z is kept.
        placement._31 = 0.0f;
        placement._32 = 0.0f;
        placement._33 = 1.0f;
        placement._13 = 0.0f;
        placement._23 = 0.0f;
        placement._11 = placement._22;
        placement._12 = -placement._21;
    }
    auto component = std::make_unique<CAIMatrix>(entity);
    component->SetMatrix(placement);
    entity->AddSuffixComponent(std::move(component));
    entity->GetPlacementMatrix() = placement;
    return entity;
}
