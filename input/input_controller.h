#pragma once
// Maps the states of one input device onto the application's control state through a binding
// table: for every action it knows, the device code that drives it (-1 unbound).

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "input/control_state.h"

class CInputDevice;
class enXml;

class CInputController {
public:
    // One row of a controller's static action table. An empty name means the action cannot be
    // loaded, saved or looked up by name.
    struct tAction {
        int action;
        std::int32_t defaultCode;
        std::string_view name;
    };

    // device may be null: the controller then has no effect. actions lists the rows up to, not
    // including, the end row; actionCount is the end row's action number.
    CInputController(CInputDevice* device, std::span<const tAction> actions, int actionCount);
    virtual ~CInputController() = default;
    CInputController(const CInputController&) = delete;
    CInputController& operator=(const CInputController&) = delete;

    // One binding per action number 0 .. count - 1: the row's default code, or -1 without a row.
    virtual void SetDefaults();
    virtual void Clear();
    // ORs the bound device states into the control state; nothing happens without a device.
    virtual void Update(ControlState& state);
    // Reads the named rows' bindings as hexadecimal child values; a missing value keeps the
    // binding as it was.
    virtual void Load(const enXml& element);
    virtual void Save(enXml& element) const;
    // The binding of the first row whose name matches exactly (case-sensitive); -1 otherwise.
    virtual std::int32_t GetBinding(std::string_view name) const;
    // True when a row matched and its binding was stored.
    virtual bool SetBinding(std::string_view name, std::int32_t code);

    const std::vector<std::int32_t>& Bindings() const { return m_bindings; }

protected:
    // Applies one bound action (code is never -1).
    virtual void ApplyAction(ControlState& state, int action, std::int32_t code) const = 0;
    virtual bool IsActive() const { return true; }
    CInputDevice* Device() const { return m_device; }
    // Down, pressed and released of the device's button with this code, ORed into target.
    void ApplyButton(std::int32_t code, ButtonState& target) const;
    // The signed axis value at the code's offset, scaled by 1/7.
    float ScaledAxis(std::int32_t code) const;

private:
    const tAction* FindNamedRow(std::string_view name) const;

    CInputDevice* m_device;
    std::span<const tAction> m_actions;
    int m_actionCount;
    std::vector<std::int32_t> m_bindings;
};
