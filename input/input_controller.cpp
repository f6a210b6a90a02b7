#include "input/input_controller.h"

#include "input/input_device.h"
#include "resource/xml.h"

namespace {
// Axis readings are divided by 7 before they reach the control state.
constexpr float kAxisScale = 0.14285715f;
}  // namespace

CInputController::CInputController(CInputDevice* device, std::span<const tAction> actions, int actionCount)
    : m_device(device), m_actions(actions), m_actionCount(actionCount) {}

void CInputController::SetDefaults() {
    m_bindings.assign(static_cast<std::size_t>(m_actionCount), -1);
    for (int action = m_actionCount - 1; action >= 0; --action) {
        for (const tAction& row : m_actions) {
            if (row.action == action) {
                m_bindings[static_cast<std::size_t>(action)] = row.defaultCode;
                break;
            }
        }
    }
}

void CInputController::Clear() {
    m_bindings.clear();
}

const CInputController::tAction* CInputController::FindNamedRow(std::string_view name) const {
    if (name.empty() || m_bindings.empty()) {
        return nullptr;
    }
    for (const tAction& row : m_actions) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

void CInputController::Load(const enXml& element) {
    for (const tAction& row : m_actions) {
        std::uint32_t code = 0;
        const bool bound = static_cast<std::size_t>(row.action) < m_bindings.size();
        if (!row.name.empty() && bound && element.GetValueHex(row.name, code)) {
            m_bindings[static_cast<std::size_t>(row.action)] = static_cast<std::int32_t>(code);
        }
    }
}

void CInputController::Save(enXml& element) const {
    for (const tAction& row : m_actions) {
        if (!row.name.empty() && static_cast<std::size_t>(row.action) < m_bindings.size()) {
            element.SetValueHex(row.name,
                                static_cast<std::uint32_t>(m_bindings[static_cast<std::size_t>(row.action)]));
        }
    }
}

std::int32_t CInputController::GetBinding(std::string_view name) const {
    const tAction* row = FindNamedRow(name);
    if (!row || static_cast<std::size_t>(row->action) >= m_bindings.size()) {
        return -1;
    }
    return m_bindings[static_cast<std::size_t>(row->action)];
}

bool CInputController::SetBinding(std::string_view name, std::int32_t code) {
    const tAction* row = FindNamedRow(name);
    if (!row || static_cast<std::size_t>(row->action) >= m_bindings.size()) {
        return false;
    }
    m_bindings[static_cast<std::size_t>(row->action)] = code;
    return true;
}

void CInputController::Update(ControlState& state) {
    if (!m_device || !IsActive()) {
        return;
    }
    for (std::size_t action = 0; action < m_bindings.size(); ++action) {
        if (m_bindings[action] != -1) {
            ApplyAction(state, static_cast<int>(action), m_bindings[action]);
        }
    }
}

void CInputController::ApplyButton(std::int32_t code, ButtonState& target) const {
    const int index = code - m_device->FirstButton();
    target.down |= m_device->IsDown(index) ? 1 : 0;
    target.pressed |= m_device->WasPressed(index) ? 1 : 0;
    target.released |= m_device->WasReleased(index) ? 1 : 0;
}

float CInputController::ScaledAxis(std::int32_t code) const {
    return static_cast<float>(m_device->AxisValue(code)) * kAxisScale;
}
