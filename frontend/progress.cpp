#include "frontend/progress.h"

#include <cmath>

#include "engine/broker.h"
#include "engine/entity.h"
#include "render/model.h"
#include "resource/xml.h"

CAIProgress::CAIProgress(const enXml& element) : CAIFrontendControl(element) {
    element.GetValueString("sBrokerPath", m_brokerPath);
    Register();
}

// Measured from the box's left edge, so that a bar that is not centred on x = 0 fills from its
// own left end too; for a centred bar this is the same as measuring back from the right edge.
D3DXPLANE CAIProgress::ClipPlaneFor(float minimumX, float maximumX, float percentage) {
    const float edge = minimumX + std::fabs(maximumX - minimumX) * percentage * 0.01f;
    return D3DXPLANE(-1.0f, 0.0f, 0.0f, edge);
}

CModel* CAIProgress::OwnerModel() const {
    return m_owner ? m_owner->GetModel() : nullptr;
}

D3DXPLANE CAIProgress::PlaneFor(const CModel& model) const {
    return ClipPlaneFor(model.GetBoxMin().x, model.GetBoxMax().x, m_percentage);
}

bool CAIProgress::Update() {
    CModel* model = OwnerModel();
    if (m_firstTick) {
        m_firstTick = false;
        if (model) {
            m_clipPlaneIndex = model->AddClipPlane(PlaneFor(*model));
        }
    }
    if (!m_clipPlaneIndex || !model) {
        return true;
    }
    if (!m_brokerPath.empty()) {
        CBroker::Instance().GetFloat(m_brokerPath, m_percentage);
    }
    model->SetClipPlane(*m_clipPlaneIndex, PlaneFor(*model));
    return true;
}
