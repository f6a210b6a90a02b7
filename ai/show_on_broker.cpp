#include "ai/show_on_broker.h"

#include "engine/broker.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

void ShowEntity(CEntity& entity, bool visible) {
    entity.SetVisible(visible);
    entity.RefreshVisibility();
}

}  // namespace

CAIShowOnBool::CAIShowOnBool(const enXml& element) {
    element.GetValueString("sBrokerValue", m_brokerValue);
    element.GetValueBool("bValue", m_value);
}

bool CAIShowOnBool::Update() {
    bool value = false;
    if (!m_brokerValue.empty() && CBroker::Instance().GetBool(m_brokerValue, value)) {
        ShowEntity(*m_owner, value == m_value);
    }
    return true;
}

CAIShowOnIntEquals::CAIShowOnIntEquals(const enXml& element) {
    element.GetValueString("sBrokerValue", m_brokerValue);
    element.GetValueInt("iValue", m_value);
}

bool CAIShowOnIntEquals::Update() {
    std::int32_t value = 0;
    if (!m_brokerValue.empty() && CBroker::Instance().GetInt(m_brokerValue, value)) {
        ShowEntity(*m_owner, value == m_value);
    }
    return true;
}
