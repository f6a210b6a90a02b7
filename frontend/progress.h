#pragma once
// A progress bar: a user clip plane of its model cuts the model so that the visible part grows
// from the left with a broker percentage.

#include <cstddef>
#include <optional>
#include <string>

#include "frontend/frontend_element.h"
#include "platform/d3dx8/math.h"

class CModel;

class CAIProgress : public CAIFrontendControl {
public:
    explicit CAIProgress(const enXml& element);
    bool Update() override;

    // The plane, in the model's space, that keeps the left share of a box spanning
    // [minimumX, maximumX]: points with a x + b y + c z + d >= 0 stay visible.
    static D3DXPLANE ClipPlaneFor(float minimumX, float maximumX, float percentage);

    float GetPercentage() const { return m_percentage; }

private:
    // The owner's model, none when the owner has none.
    CModel* OwnerModel() const;
    D3DXPLANE PlaneFor(const CModel& model) const;

    std::string m_brokerPath;
    float m_percentage = 50.0f;
    std::optional<std::size_t> m_clipPlaneIndex;
    bool m_firstTick = true;
};
