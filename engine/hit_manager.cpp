#include "engine/hit_manager.h"

#include <algorithm>

#include "app/debug_log.h"
#include "engine/broker.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "engine/ga_hit_manager.h"
#include "resource/xml.h"

namespace {

constexpr float kEmptyBoxMaximum = -1.1920929e-7f;

bool IsRootHitEntity(const CEntity& entity) {
    return entity.GetHitGroups() != 0 && !entity.Parent();
}

// The node after this one in a depth-first walk of root's subtree, or null at its end.
CEntity* NextInSubtree(CEntity* node, const CEntity* root) {
    if (node->FirstChild()) {
        return node->FirstChild();
    }
    for (; node != root; node = node->Parent()) {
        if (node->NextSibling()) {
            return node->NextSibling();
        }
    }
    return nullptr;
}

bool IsUnderPointer(const CEntity& entity, float x, float y) {
    const D3DXVECTOR3& low = entity.GetWorldBoxMin();
    const D3DXVECTOR3& high = entity.GetWorldBoxMax();
    return x >= low.x && x <= high.x && y >= low.y && y <= high.y;
}

bool IsMousePickable(const CEntity& entity) {
    return (entity.GetHitGroups() & enHitManager::kMouseGroup) != 0 && entity.IsEffectivelyVisible() &&
           entity.HasModel2D();
}

}  // namespace

enHitManager& enHitManager::Instance() {
    return gaHitManager::Instance();
}

tHit enHitManager::EmptyHit(CEntity* first, CEntity* second) {
    tHit hit;
    hit.boxMax = D3DXVECTOR3(kEmptyBoxMaximum, kEmptyBoxMaximum, kEmptyBoxMaximum);
    hit.first = first;
    hit.second = second;
    return hit;
}

std::uint32_t enHitManager::ParseGroups(std::string_view text) {
    std::uint32_t mask = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of(",;"), text.size());
        if (end > 0) {
            mask |= GroupMaskByName(text.substr(0, end));
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return mask;
}

void enHitManager::TestAllPairs() {
    m_pairHits.clear();
    const std::vector<CEntity*>& entities = enEntityManager::Instance().GetHitEntities();
    for (std::size_t i = 0; i < entities.size(); ++i) {
        if (!IsRootHitEntity(*entities[i])) {
            continue;
        }
        for (std::size_t j = i + 1; j < entities.size(); ++j) {
            if (IsRootHitEntity(*entities[j])) {
                TestSubtrees(*entities[i], *entities[j]);
            }
        }
    }
}

void enHitManager::TestSubtrees(CEntity& first, CEntity& second) {
    for (CEntity* a = &first; a; a = NextInSubtree(a, &first)) {
        for (CEntity* b = &second; b; b = NextInSubtree(b, &second)) {
            TestPair(*a, *b);
        }
    }
}

void enHitManager::TestMouse() {
    m_mouseHits.clear();
    const std::vector<CEntity*>& entities = enEntityManager::Instance().GetActiveEntities();
    if (entities.size() < 2) {
        return;
    }
    const enXml* mouse = CBroker::Instance().GetNode("Mouse", false);
    bool visible = false;
    float x = 0.0f, y = 0.0f;
    if (!mouse || !mouse->GetValueBool("bVisible", visible) || !visible ||
        !mouse->GetValueFloat("fXPosition", x) || !mouse->GetValueFloat("fYPosition", y)) {
        return;
    }
    // Collected in drawing order, far to near; reversed so that the entity drawn on top, the
    // one the user sees under the pointer, comes first.
    for (auto it = entities.rbegin(); it != entities.rend(); ++it) {
        CEntity& entity = **it;
        if (IsMousePickable(entity) && IsUnderPointer(entity, x, y)) {
            tHit hit = EmptyHit(&entity, nullptr);
            hit.centre = D3DXVECTOR3(x, y, entity.GetWorldBoxMin().z);
            m_mouseHits.push_back(hit);
        }
    }
    if (!m_mouseHits.empty()) {
        CDebugLog::Instance().LogLevel(3, "%i mouse hit(s) found.", static_cast<int>(m_mouseHits.size()));
    }
}

void enHitManager::ForgetEntity(const CEntity* entity) {
    const auto namesEntity = [entity](const tHit& hit) {
        return hit.first == entity || hit.second == entity;
    };
    std::erase_if(m_pairHits, namesEntity);
    std::erase_if(m_mouseHits, namesEntity);
}

void enHitManager::ClearHits() {
    m_pairHits.clear();
    m_mouseHits.clear();
}

CEntity* enHitManager::GetMouseHit() const {
    return m_mouseHits.empty() ? nullptr : m_mouseHits.front().first;
}
