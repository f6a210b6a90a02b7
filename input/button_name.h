#pragma once
// The name shown for a mouse or joystick button binding.

#include <string>
#include <string_view>

// Fills the translated "Button %d" with the 1-based button number. The format comes from data,
// so only its first "%d" is filled and "%%" becomes "%"; anything else stays as written.
std::string FormatButtonName(std::string_view format, int number);
// The translated "Button %d" filled with the number.
std::string ButtonCodeName(int number);
