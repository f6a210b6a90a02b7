#include "frontend/slider.h"

#include <algorithm>
#include <cmath>

#include "engine/broker.h"
#include "engine/entity.h"
#include "engine/hit_manager.h"
#include "frontend/frontend_input.h"
#include "resource/xml.h"

namespace {

constexpr float kEpsilon = 1.1920929e-7f;

// The share of the way from start to end, 0 when the two coincide (no divide by zero).
float Fraction(float value, float start, float end) {
    const float span = end - start;
    return std::fabs(span) < kEpsilon ? 0.0f : (value - start) / span;
}

}  // namespace

bool CAISlider::tBox::IsValid() const {
    return minimum.x <= maximum.x && minimum.y <= maximum.y && minimum.z <= maximum.z;
}

CAISlider::CAISlider(const enXml& element) : CAIFrontendControl(element) {
    element.GetValueFloat("fRangeMin", m_rangeMin);
    element.GetValueFloat("fRangeMax", m_rangeMax);
    element.GetValueString("sBrokerValue", m_brokerValue);
    element.GetValueString("sMouseCursor", m_mouseCursor);
    Register();
}

bool CAISlider::Press() {
    m_dragging = true;
    return true;
}

bool CAISlider::Release() {
    m_dragging = false;
    return true;
}

bool CAISlider::Update() {
    ++m_tickCount;
    if (m_tickCount == 1) {
        return true;
    }
    if (m_tickCount == 2) {
        SetValue(m_value);
    }
    float published = 0.0f;
    if (CBroker::Instance().GetFloat(m_brokerValue, published) && published != m_value) {
        SetValue(published);
    }
    HandleInput();
    return true;
}

void CAISlider::SetValue(float value) {
    // Written out rather than std::clamp, which a reversed range would break.
    m_value = std::max(m_rangeMin, std::min(value, m_rangeMax));
    if (!CaptureBoxes()) {
        return;
    }
    const float start = TravelStart();
    const float end = TravelEnd();
    PlaceThumbAt(*m_owner->FindChild("Thumb"),
                 start + (end - start) * Fraction(m_value, m_rangeMin, m_rangeMax));
}

bool CAISlider::CaptureBoxes() {
    CEntity* track = m_owner ? m_owner->FindChild("Track") : nullptr;
    CEntity* thumb = m_owner ? m_owner->FindChild("Thumb") : nullptr;
    if (!track || !thumb) {
        return false;
    }
    if (!m_boxesValid) {
        m_trackBox.minimum = track->GetWorldBoxMin();
        m_trackBox.maximum = track->GetWorldBoxMax();
        m_thumbBox.minimum = thumb->GetLocalBoxMin();
        m_thumbBox.maximum = thumb->GetLocalBoxMax();
        m_boxesValid = m_trackBox.IsValid() && m_thumbBox.IsValid();
    }
    return m_boxesValid;
}

float CAISlider::TravelStart() const {
    return m_trackBox.minimum.x - m_thumbBox.minimum.x;
}

float CAISlider::TravelEnd() const {
    return m_trackBox.maximum.x - m_thumbBox.maximum.x;
}

void CAISlider::PlaceThumbAt(CEntity& thumb, float worldX) {
    D3DXMATRIX world = thumb.GetWorldPlacementMatrix();
    world._41 = worldX;
    D3DXMATRIX parentInverse;
    const D3DXMATRIX parent = thumb.GetParentWorldPlacement();
    if (thumb.IsParentRelative() && D3DXMatrixInverse(&parentInverse, nullptr, &parent)) {
        D3DXMatrixMultiply(&thumb.GetPlacementMatrix(), &world, &parentInverse);
    } else {
        thumb.GetPlacementMatrix() = world;
    }
    thumb.UpdateWorldMatrices(true);
}

void CAISlider::HandleInput() {
    using namespace frontend_input;
    CEntity* track = m_owner ? m_owner->FindChild("Track") : nullptr;
    CEntity* thumb = m_owner ? m_owner->FindChild("Thumb") : nullptr;
    if (!track || !thumb) {
        return;
    }
    // Without valid boxes there is no travel to map, so the slider does not react.
    if (!CaptureBoxes() || !OwnerVisible() || BelongsToOtherDialog()) {
        return;
    }
    const bool over = enHitManager::Instance().GetMouseHit() == track;
    if (!m_dragging && over && PrimaryButtonPressed()) {
        m_dragging = true;
    }
    if (!m_dragging && !over) {
        return;
    }
    if (!m_mouseCursor.empty()) {
        CBroker::Instance().SetString("Mouse\\sCursor", m_mouseCursor);
    }
    if (m_dragging) {
        Drag(*thumb);
    }
}

void CAISlider::Drag(CEntity& thumb) {
    if (!frontend_input::PrimaryButtonDown()) {
        m_dragging = false;
        return;
    }
    const float start = TravelStart();
    const float end = TravelEnd();
    float x = 0.0f;
    CBroker::Instance().GetFloat("Mouse\\fXPosition", x);
    x = std::max(start, std::min(x, end));
    PlaceThumbAt(thumb, x);
    m_value = m_rangeMin + (m_rangeMax - m_rangeMin) * Fraction(x, start, end);
    CBroker::Instance().SetFloat(m_brokerValue, m_value);
}
