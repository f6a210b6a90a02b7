#include "engine/ga_hit_manager.h"

#include <algorithm>
#include <string>

#include "app/debug_log.h"
#include "engine/entity.h"
#include "resource/name_atom.h"

namespace {

struct tGroupName {
    std::string_view name;
    std::uint32_t mask;
};

constexpr tGroupName kGroupNames[] = {{"Mouse", gaHitManager::kMouseGroup},
                                      {"All", gaHitManager::kAllGroups}};

struct tInterval {
    float low;
    float high;
};

tInterval Ordered(float a, float b) {
    return a <= b ? tInterval{a, b} : tInterval{b, a};
}

void LogMasks(const CEntity& entity) {
    CDebugLog::Instance().LogLevel(3, "\"%s\": OHG = 0x%x and CHG = 0x%x.", entity.GetName().c_str(),
                                   entity.GetHitGroups(), entity.GetHitsWithGroups());
}

bool MayTouch(const CEntity& first, const CEntity& second) {
    const bool masksMatch = (first.GetHitGroups() & second.GetHitsWithGroups()) != 0 ||
                            (first.GetHitsWithGroups() & second.GetHitGroups()) != 0;
    return masksMatch && first.IsEffectivelyVisible() && second.IsEffectivelyVisible();
}

}  // namespace

std::uint32_t gaHitManager::GroupMaskByName(std::string_view name) {
    for (const tGroupName& group : kGroupNames) {
        if (EqualsIgnoringCase(group.name, name)) {
            return group.mask;
        }
    }
    CDebugLog::Instance().LogLevel(1, "Error: Wrong Hit Group name met: \"%s\".", std::string(name).c_str());
    return 0;
}

void gaHitManager::TestPair(CEntity& first, CEntity& second) {
    if (!MayTouch(first, second)) {
        return;
    }
    const tInterval firstX = Ordered(first.GetWorldBoxMin().x, first.GetWorldBoxMax().x);
    const tInterval firstY = Ordered(first.GetWorldBoxMin().y, first.GetWorldBoxMax().y);
    const tInterval secondX = Ordered(second.GetWorldBoxMin().x, second.GetWorldBoxMax().x);
    const tInterval secondY = Ordered(second.GetWorldBoxMin().y, second.GetWorldBoxMax().y);
    // Inclusive comparisons: boxes that touch at an edge hit.
    const bool overlap = firstX.low <= secondX.high && secondX.low <= firstX.high &&
                         firstY.low <= secondY.high && secondY.low <= firstY.high;
    if (!overlap) {
        return;
    }
    tHit hit = EmptyHit(&first, &second);
    hit.boxMin = D3DXVECTOR3(std::max(firstX.low, secondX.low), std::max(firstY.low, secondY.low), 0.0f);
    hit.boxMax = D3DXVECTOR3(std::min(firstX.high, secondX.high), std::min(firstY.high, secondY.high), 0.0f);
    hit.centre =
        D3DXVECTOR3((hit.boxMin.x + hit.boxMax.x) * 0.5f, (hit.boxMin.y + hit.boxMax.y) * 0.5f, 0.0f);
    AddPairHit(hit);
    CDebugLog::Instance().LogLevel(3, "Found Hit between \"%s\" and \"%s\".", first.GetName().c_str(),
                                   second.GetName().c_str());
    LogMasks(first);
    LogMasks(second);
}
