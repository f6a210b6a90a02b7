#pragma once
// Physics components: the step that carries the trajectory into the placement the model is
// drawn with, or leaves the placement alone.

#include "engine/ai.h"

class enXml;

// Copies the trajectory matrix into the placement matrix.
class CAIDefaultPhysics : public C_AI {
public:
    explicit CAIDefaultPhysics(const enXml& element);
    explicit CAIDefaultPhysics(CEntity* owner);
    bool Update() override;
};

// Keeps the placement the entity's XML or other code gave it.
class CAINoPhysics : public C_AI {
public:
    explicit CAINoPhysics(const enXml& element);
    bool Update() override { return true; }
};
