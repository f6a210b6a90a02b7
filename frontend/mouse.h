#pragma once
// The frontend's pointer: moves its entity with the mouse and joystick motion of the control
// state inside a 640 by 480 virtual screen, publishes position and visibility in the broker
// group "Mouse" and shows the child whose name is the requested cursor shape.

#include "engine/ai.h"
#include "input/control_state.h"
#include "platform/d3dx8/math.h"

class enXml;

class CAIMouse : public C_AI {
public:
    static constexpr float kScreenWidth = 640.0f;
    static constexpr float kScreenHeight = 480.0f;

    // Reads the application's control state; without an application the pointer stays put.
    explicit CAIMouse(const enXml& element);
    CAIMouse(const enXml& element, const ControlState& controls);
    ~CAIMouse() override;

    bool Update() override;

private:
    void Move();
    void ShowCursorShape() const;

    D3DXVECTOR3 m_position{0.0f, 0.0f, 0.0f};
    bool m_firstTick = true;
    ControlState m_idleControls;
    const ControlState& m_controls;
};
