#pragma once
// Creation of behaviour components by exact class name from their XML element.

#include <memory>

#include "engine/ai.h"

class enXml;

// The component the element's "Name" attribute names, with its owner set; null for a null
// element, a missing or empty name (silently) and an unregistered name (logged).
std::unique_ptr<C_AI> CreateAI(const enXml* element, CEntity* owner);
