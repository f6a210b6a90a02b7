#pragma once
// A long-lived reference to an entity that something else may delete: the pointer is used
// only while the entity manager still knows the serial number.

#include <cstdint>

#include "engine/entity.h"
#include "engine/entity_manager.h"

struct tEntityHandle {
    CEntity* entity = nullptr;
    std::uint32_t serial = 0;

    static tEntityHandle Of(CEntity* target) { return {target, target ? target->GetSerial() : 0}; }
    // The entity, or null once it is gone.
    CEntity* Get() const { return entity && enEntityManager::Instance().IsAlive(serial) ? entity : nullptr; }
};
