#pragma once
// The game level of the hit manager: the group names and a pair test in the x-y plane.

#include "engine/hit_manager.h"

class gaHitManager : public tmSingletonGD<gaHitManager, enHitManager> {
public:
    static constexpr std::uint32_t kAllGroups = 0xFFFFFFFF;

    // "Mouse" and "All", compared without regard to case.
    std::uint32_t GroupMaskByName(std::string_view name) override;
    // Overlap of the world boxes in x and y, inclusive, for visible entities whose masks match.
    void TestPair(CEntity& first, CEntity& second) override;
};
