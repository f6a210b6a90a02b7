#include "frontend/progress.h"

#include <cmath>

#include "engine/broker.h"
#include "engine/entity.h"
#include "resource/xml.h"

CAIProgress::CAIProgress(const enXml& element) : CAIFrontendControl(element) {
    element.GetValueString("sBrokerPath", m_brokerPath);
    Register();
}

D3DXPLANE CAIProgress::ClipPlaneFor(float minimumX, float maximumX, float percentage) {
    const float offset = maximumX - std::fabs(maximumX - minimumX) * percentage * 0.01f;
    return D3DXPLANE(-1.0f, 0.0f, 0.0f, -offset);
}

bool CAIProgress::Update() {
    if (!m_owner) {
        return true;
    }
    if (!m_brokerPath.empty()) {
        CBroker::Instance().GetFloat(m_brokerPath, m_percentage);
    }
    // The owner's local box is its model's box. Entities carry no models yet, so the plane
    // is kept here until a model can take it as a user clip plane.
    m_clipPlane = ClipPlaneFor(m_owner->GetLocalBoxMin().x, m_owner->GetLocalBoxMax().x, m_percentage);
    return true;
}
