#pragma once
// A slider: the child "Thumb" slides along the child "Track" with the pointer; the value maps
// the thumb's travel onto [fRangeMin, fRangeMax] and is exchanged through a broker float.

#include <string>

#include "frontend/frontend_element.h"
#include "platform/d3dx8/math.h"

class CEntity;

class CAISlider : public CAIFrontendControl {
public:
    explicit CAISlider(const enXml& element);

    bool Update() override;
    bool Release() override;
    bool Press() override;

    // Clamps to the range and places the thumb.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    bool IsDragging() const { return m_dragging; }

private:
    struct tBox {
        D3DXVECTOR3 minimum{0.0f, 0.0f, 0.0f};
        D3DXVECTOR3 maximum{-1.1920929e-7f, -1.1920929e-7f, -1.1920929e-7f};
        bool IsValid() const;
    };

    void HandleInput();
    void Drag(CEntity& thumb);
    // Copies the boxes once both children exist and their boxes are valid.
    bool CaptureBoxes();
    // The thumb's x travel: from lo (at fRangeMin) to hi (at fRangeMax).
    float TravelStart() const;
    float TravelEnd() const;
    static void PlaceThumbAt(CEntity& thumb, float worldX);

    float m_rangeMin = 0.0f;
    float m_rangeMax = 100.0f;
    std::string m_brokerValue;
    std::string m_mouseCursor;
    float m_value = 0.0f;
    bool m_dragging = false;
    tBox m_trackBox;
    tBox m_thumbBox;
    bool m_boxesValid = false;
    int m_tickCount = 0;
};
