#include "frontend/mouse.h"

#include <algorithm>

#include "app/my_d3d_application.h"
#include "engine/broker.h"
#include "engine/entity.h"
#include "engine/global_options.h"
#include "resource/name_atom.h"
#include "resource/xml.h"

namespace {

constexpr const char* kDefaultShape = "Arrow";

const ControlState* ApplicationControls() {
    auto* application = static_cast<CMyD3DApplication*>(CD3DApplication::GetInstance());
    return application ? &application->Controls() : nullptr;
}

}  // namespace

CAIMouse::CAIMouse(const enXml& element)
    : CAIMouse(element, ApplicationControls() ? *ApplicationControls() : m_idleControls) {}

CAIMouse::CAIMouse(const enXml& element, const ControlState& controls) : m_controls(controls) {
    element.GetValueVector("p3Position", m_position);
}

CAIMouse::~CAIMouse() {
    if (enXml* group = CBroker::Instance().GetNode("Mouse", false)) {
        group->SetValueBool("bVisible", false);
    }
}

bool CAIMouse::Update() {
    if (!m_owner) {
        return true;
    }
    D3DXMATRIX& placement = m_owner->GetPlacementMatrix();
    if (m_firstTick) {
        placement._41 = m_position.x;
        placement._42 = m_position.y;
        placement._43 = m_position.z;
        m_firstTick = false;
    }
    enXml* group = CBroker::Instance().GetNode("Mouse", true);
    const bool visible = m_owner->IsEffectivelyVisible();
    group->SetValueBool("bVisible", visible);
    if (!visible) {
        return true;
    }
    Move();
    group->SetValueFloat("fXPosition", placement._41);
    group->SetValueFloat("fYPosition", placement._42);
    ShowCursorShape();
    group->SetValueString("sCursor", "");
    return true;
}

void CAIMouse::Move() {
    const CGlobalOptions& options = CGlobalOptions::Instance();
    D3DXMATRIX& placement = m_owner->GetPlacementMatrix();
    const float x = placement._41 + m_controls.MouseX * options.fMouseSensivity * 10.0f +
                    m_controls.JoystickX * options.fJoystickSensivity * 10.0f;
    const float y = placement._42 + m_controls.MouseY * options.fMouseSensivity * 10.0f +
                    m_controls.JoystickY * options.fJoystickSensivity * 10.0f;
    // Written so that a value that is not a number ends as 0.
    placement._41 = std::max(0.0f, std::min(x, kScreenWidth));
    placement._42 = std::max(0.0f, std::min(y, kScreenHeight));
}

void CAIMouse::ShowCursorShape() const {
    std::string shape;
    CBroker::Instance().GetString("Mouse\\sCursor", shape);
    if (shape.empty()) {
        shape = kDefaultShape;
    }
    for (CEntity* child = m_owner->FirstChild(); child; child = child->NextSibling()) {
        child->SetVisible(EqualsIgnoringCase(child->GetName(), shape));
        child->RefreshVisibility();
    }
}
