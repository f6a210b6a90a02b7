#pragma once
// The game level of the entity manager: it supplies the entity factories.

#include <vector>

#include "engine/entity_manager.h"

class gaEntityManager : public tmSingletonGD<gaEntityManager, enEntityManager> {
public:
    // A new entity loaded from the entity document at the path, or null.
    CEntity* CreateEntityFromFile(const std::string& path) override;
    // An empty ID and exactly "CEntity" make a CEntity; anything else is logged and refused.
    CEntity* CreateEntityByClassID(const std::string& classID) override;

    // How deeply entity files may nest through their sub-entities.
    static constexpr int kMaxNestedLoads = 32;

private:
    CEntity* CreateAndLoad(const enXml& root);
    bool IsOnLoadPath(const enXml& root) const;
    void LogCycle(const enXml& root) const;

    // The documents being loaded, outermost first: each one is loading its sub-entities.
    std::vector<const enXml*> m_loadPath;
};
