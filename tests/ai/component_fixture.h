#pragma once
// Entities built in memory from component lists and ticked directly.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/ai.h"
#include "engine/entity.h"
#include "platform/d3dx8/math.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/matrix_expect.h"

class enXml;

namespace zumbo::test {

using Properties = std::vector<std::pair<const char*, std::string>>;

struct ComponentRecipe {
    const char* className;
    Properties properties;
};

// An "AI" element naming the class, with the properties in their child form.
std::unique_ptr<enXml> ComponentElement(const ComponentRecipe& recipe, const char* tag = "AI");

class ComponentTest : public EngineTest {
protected:
    // An entity loaded from a document whose suffix list holds the components, with the
    // default physics and lifetime unless others are named. The entity manager owns it.
    CEntity& LoadEntity(const std::vector<ComponentRecipe>& suffix, const char* physics = nullptr,
                        const char* lifeTime = nullptr, const Properties& entityProperties = {});
    // The component built by the factory from its element, owned by the test.
    std::unique_ptr<C_AI> Create(const ComponentRecipe& recipe, CEntity* owner = nullptr);
    // Runs the entity's own tick this many times.
    static void Tick(CEntity& entity, int ticks);
};

}  // namespace zumbo::test
