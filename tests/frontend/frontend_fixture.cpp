#include "tests/frontend/frontend_fixture.h"

#include "engine/ai_factory.h"
#include "engine/broker.h"
#include "engine/entity_manager.h"
#include "engine/hit_manager.h"
#include "frontend/frontend_manager.h"
#include "input/input_devices.h"
#include "resource/xml.h"

namespace zumbo::test {

bool CMessageRecorder::Update() {
    const auto& current = CMessagesBroker::Instance().GetCurrentMessages();
    m_seen.insert(m_seen.end(), current.begin(), current.end());
    return true;
}

void FrontendTest::SetUp() {
    EngineTest::SetUp();
    CFrontendManager::DestroyInstance();
    CBroker::DestroyInstance();
    ASSERT_EQ(CInputDevices::Instance().Create(m_window.Handle()), S_OK);
    CInputDevices::Instance().Poll();  // the first read acquires and finds nothing down
    auto* listener = new CEntity();
    listener->SetName("listener");
    listener->AddSuffixComponent(std::make_unique<CMessageRecorder>(m_seen));
}

void FrontendTest::TearDown() {
    EngineTest::TearDown();
    CFrontendManager::DestroyInstance();
    CBroker::DestroyInstance();
    CInputDevices::Instance().Destroy();
}

CEntity& FrontendTest::MakeEntity(const std::string& name, CEntity* parent, const Properties& properties) {
    enXml root("Entity");
    root.AddAttribute("Name", name);
    root.AddNewChild("bTextLabel")->AddAttribute("Value", "true");
    for (const auto& [property, value] : properties) {
        root.AddNewChild(property)->AddAttribute("Value", value);
    }
    root.AddNewChild("AIList")->AddNewChild("AIPhysics")->AddAttribute("Name", "CAINoPhysics");
    auto* entity = new CEntity();
    EXPECT_TRUE(entity->LoadFromXml(root));
    if (parent) {
        parent->AddChild(entity);
        entity->RefreshVisibility();
    }
    return *entity;
}

C_AI& FrontendTest::AttachComponent(CEntity& entity, const char* className, const Properties& properties) {
    enXml element("AI");
    element.AddAttribute("Name", className);
    for (const auto& [property, value] : properties) {
        element.AddNewChild(property)->AddAttribute("Value", value);
    }
    std::unique_ptr<C_AI> component = CreateAI(&element, &entity);
    EXPECT_NE(component, nullptr) << className;
    C_AI& result = *component;
    entity.AddSuffixComponent(std::move(component));
    return result;
}

CEntity& FrontendTest::MakePickable(const std::string& name, float x, float y, float halfWidth,
                                    float halfHeight, CEntity* parent) {
    auto* entity = new CPickableEntity();
    entity->SetName(name);
    entity->SetHitGroups(enHitManager::kMouseGroup);
    entity->SetLocalBox({-halfWidth, -halfHeight, -0.5f}, {halfWidth, halfHeight, 0.5f});
    D3DXMatrixTranslation(&entity->GetPlacementMatrix(), x, y, 0.0f);
    if (parent) {
        parent->AddChild(entity);
        entity->RefreshVisibility();
    }
    entity->UpdateWorldMatrices(true);
    return *entity;
}

void FrontendTest::Frame() {
    CInputDevices& input = CInputDevices::Instance();
    input.Poll();
    CFrontendManager::Instance().Tick();
    enEntityManager::Instance().Tick();
    input.EndTick();
}

void FrontendTest::Frames(int count) {
    for (int i = 0; i < count; ++i) {
        Frame();
    }
}

void FrontendTest::PointAt(float x, float y) {
    CBroker& broker = CBroker::Instance();
    broker.SetString("Mouse\\bVisible", "true");
    broker.SetFloat("Mouse\\fXPosition", x);
    broker.SetFloat("Mouse\\fYPosition", y);
}

void FrontendTest::HidePointer() {
    CBroker::Instance().SetString("Mouse\\bVisible", "false");
}

std::vector<std::string> FrontendTest::Seen(std::int32_t code) const {
    std::vector<std::string> arguments;
    for (const tMessage& message : m_seen) {
        if (message.code == code) {
            arguments.push_back(message.argument);
        }
    }
    return arguments;
}

}  // namespace zumbo::test
