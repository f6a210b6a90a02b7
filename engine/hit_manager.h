#pragma once
// Overlaps found once per tick: between entities whose hit groups say they may touch, and
// between the mouse pointer and the pickable 2D entities. The game level (gaHitManager)
// supplies the group names and the pair test.

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/singleton.h"
#include "platform/d3dx8/math.h"

class CEntity;

struct tHit {
    // The overlap region; empty (minimum 0, maximum -2^-23) when there is none.
    D3DXVECTOR3 boxMin;
    D3DXVECTOR3 boxMax;
    D3DXVECTOR3 centre;
    CEntity* first = nullptr;
    CEntity* second = nullptr;  // null for a mouse hit
};

class enHitManager : public tmSingletonGI<enHitManager> {
public:
    // The group an entity joins to be picked by the mouse pointer.
    static constexpr std::uint32_t kMouseGroup = 0x10000;

    // The one instance, created as the game-level class on first use.
    static enHitManager& Instance();

    // The mask of one group name; unknown names are logged and give 0.
    virtual std::uint32_t GroupMaskByName(std::string_view name) = 0;
    // Records a hit when the two entities may touch and overlap.
    virtual void TestPair(CEntity& first, CEntity& second) = 0;

    // The OR of the group names separated by "," or ";".
    std::uint32_t ParseGroups(std::string_view text);
    // Every node of each root hit entity's subtree against every node of each later one's.
    void TestAllPairs();
    // The pickable 2D entities under the pointer published in the broker group "Mouse".
    void TestMouse();
    // The entity of the first mouse hit, or null.
    CEntity* GetMouseHit() const;

    // Drops every record that names the entity, which is about to be deleted.
    void ForgetEntity(const CEntity* entity);
    void ClearHits();

    const std::vector<tHit>& GetPairHits() const { return m_pairHits; }
    const std::vector<tHit>& GetMouseHits() const { return m_mouseHits; }

protected:
    enHitManager() = default;
    void AddPairHit(const tHit& hit) { m_pairHits.push_back(hit); }
    static tHit EmptyHit(CEntity* first, CEntity* second);

private:
    void TestSubtrees(CEntity& first, CEntity& second);

    std::vector<tHit> m_pairHits;
    std::vector<tHit> m_mouseHits;
};
