#include "tests/ai/component_fixture.h"

#include "engine/ai_factory.h"
#include "resource/xml.h"

namespace zumbo::test {

namespace {

void AddProperties(enXml& element, const Properties& properties) {
    for (const auto& [name, value] : properties) {
        element.AddNewChild(name)->AddAttribute("Value", value);
    }
}

void AddComponent(enXml& parent, const ComponentRecipe& recipe, const char* tag) {
    enXml* element = parent.AddNewChild(tag);
    element->AddAttribute("Name", recipe.className);
    AddProperties(*element, recipe.properties);
}

}  // namespace

std::unique_ptr<enXml> ComponentElement(const ComponentRecipe& recipe, const char* tag) {
    auto element = std::make_unique<enXml>(tag);
    element->AddAttribute("Name", recipe.className);
    AddProperties(*element, recipe.properties);
    return element;
}

CEntity& ComponentTest::LoadEntity(const std::vector<ComponentRecipe>& suffix, const char* physics,
                                   const char* lifeTime, const Properties& entityProperties) {
    enXml root("Entity");
    root.AddAttribute("Name", "mover");
    AddProperties(root, entityProperties);
    enXml* list = root.AddNewChild("AIList");
    enXml* suffixList = list->AddNewChild("SuffixAIList");
    for (const ComponentRecipe& recipe : suffix) {
        AddComponent(*suffixList, recipe, "AI");
    }
    if (physics) {
        AddComponent(*list, {physics, {}}, "AIPhysics");
    }
    if (lifeTime) {
        AddComponent(*list, {lifeTime, {}}, "AILifeTime");
    }
    auto* entity = new CEntity();
    EXPECT_TRUE(entity->LoadFromXml(root));
    return *entity;
}

std::unique_ptr<C_AI> ComponentTest::Create(const ComponentRecipe& recipe, CEntity* owner) {
    const std::unique_ptr<enXml> element = ComponentElement(recipe);
    return CreateAI(element.get(), owner);
}

void ComponentTest::Tick(CEntity& entity, int ticks) {
    for (int tick = 0; tick < ticks; ++tick) {
        entity.Update();
    }
}

}  // namespace zumbo::test
