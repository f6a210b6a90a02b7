#include "ai/physics_components.h"

#include "engine/entity.h"

CAIDefaultPhysics::CAIDefaultPhysics(const enXml& /*element*/) {}

CAIDefaultPhysics::CAIDefaultPhysics(CEntity* owner) {
    SetOwner(owner);
}

bool CAIDefaultPhysics::Update() {
    m_owner->GetPlacementMatrix() = m_owner->GetTrajectoryMatrix();
    return true;
}

CAINoPhysics::CAINoPhysics(const enXml& /*element*/) {}
