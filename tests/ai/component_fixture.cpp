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

void AddComponent(enXml& parent, const ComponentSpec& spec, const char* tag) {
    enXml* element = parent.AddNewChild(tag);
    element->AddAttribute("Name", spec.className);
    AddProperties(*element, spec.properties);
}

}  // namespace

std::unique_ptr<enXml> ComponentElement(const ComponentSpec& spec, const char* tag) {
    auto element = std::make_unique<enXml>(tag);
    element->AddAttribute("Name", spec.className);
    AddProperties(*element, spec.properties);
    return element;
}

void ExpectMatrixNear(const D3DXMATRIX& expected, const D3DXMATRIX& actual, float tolerance) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            EXPECT_NEAR(expected.m[row][col], actual.m[row][col], tolerance)
                << "element " << row + 1 << col + 1;
        }
    }
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixTranslation(&m, x, y, z);
}

D3DXMATRIX RotationX(float radians) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationX(&m, radians);
}

D3DXMATRIX RotationY(float radians) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationY(&m, radians);
}

D3DXMATRIX RotationZ(float radians) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationZ(&m, radians);
}

CEntity& ComponentTest::LoadEntity(const std::vector<ComponentSpec>& suffix, const char* physics,
                                   const char* lifeTime, const Properties& entityProperties) {
    enXml root("Entity");
    root.AddAttribute("Name", "mover");
    AddProperties(root, entityProperties);
    enXml* list = root.AddNewChild("AIList");
    enXml* suffixList = list->AddNewChild("SuffixAIList");
    for (const ComponentSpec& spec : suffix) {
        AddComponent(*suffixList, spec, "AI");
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

std::unique_ptr<C_AI> ComponentTest::Create(const ComponentSpec& spec, CEntity* owner) {
    const std::unique_ptr<enXml> element = ComponentElement(spec);
    return CreateAI(element.get(), owner);
}

void ComponentTest::Tick(CEntity& entity, int ticks) {
    for (int tick = 0; tick < ticks; ++tick) {
        entity.Update();
    }
}

}  // namespace zumbo::test
