#pragma once
// Turns the owner's y axis towards the scene camera's viewing direction. The entity runs it
// after its trajectory lists when it is view oriented.

#include "engine/ai.h"

class enXml;

class CAIBillBoard : public C_AI {
public:
    explicit CAIBillBoard(const enXml& element);
    explicit CAIBillBoard(CEntity* owner);
    bool Update() override;
};
