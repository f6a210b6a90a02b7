#pragma once
// Key states as Win32 keeps them per thread: updated from the key messages that leave the
// queue, so a program sees the state that matches the message it is handling.

#include <array>
#include <cstdint>

#include "platform/win32/window.h"

namespace win32 {

class KeyStateTable {
public:
    void Apply(const MSG& message);
    std::int16_t State(int virtualKey) const;

private:
    void ReleaseAll();
    void SetKey(WPARAM virtualKey, bool down);
    // The left or right variant that a generic shift, control or alt message stands for.
    static WPARAM SidedKey(const MSG& message);

    static constexpr BYTE kDown = 0x80;
    static constexpr BYTE kToggled = 0x01;
    std::array<BYTE, 256> m_states{};
};

}  // namespace win32
