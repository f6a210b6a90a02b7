#pragma once
// A progress bar: a user clip plane cuts its model so that the visible part grows from the
// left with a broker percentage.

#include <string>

#include "frontend/frontend_element.h"
#include "platform/d3dx8/math.h"

class CAIProgress : public CAIFrontendControl {
public:
    explicit CAIProgress(const enXml& element);
    bool Update() override;

    // The plane that keeps the left part of a box spanning [minimumX, maximumX]: points with
    // a x + b y + c z + d >= 0 stay visible.
    static D3DXPLANE ClipPlaneFor(float minimumX, float maximumX, float percentage);

    float GetPercentage() const { return m_percentage; }
    // The plane for the owner's model box and the last percentage.
    const D3DXPLANE& GetClipPlane() const { return m_clipPlane; }

private:
    std::string m_brokerPath;
    float m_percentage = 50.0f;
    D3DXPLANE m_clipPlane{-1.0f, 0.0f, 0.0f, 0.0f};
};
