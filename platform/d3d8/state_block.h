#pragma once
// A recorded sequence of Set calls that can be replayed and refreshed from the device.

#include <vector>

#include "platform/d3d8/device_state.h"

namespace d3d8 {

class StateBlock {
public:
    void Append(const StateCommand& command) { m_commands.push_back(command); }
    const std::vector<StateCommand>& Commands() const { return m_commands; }
    // Takes the device's current values for every recorded state.
    void Capture(const DeviceState& state);
    // Drops the bindings of a resource that is being destroyed.
    void Forget(const void* resource);

private:
    std::vector<StateCommand> m_commands;
};

}  // namespace d3d8
