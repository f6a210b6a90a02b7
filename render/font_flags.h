#pragma once
// Text drawing flags of the bitmap fonts and their names in data.

#include <cstdint>
#include <string_view>

constexpr std::uint32_t D3DFONT_CENTERED_X = 0x1;
constexpr std::uint32_t D3DFONT_ALIGN_RIGHT = 0x2;
constexpr std::uint32_t D3DFONT_CENTERED_Y = 0x4;
constexpr std::uint32_t D3DFONT_ALIGN_TOP = 0x8;
constexpr std::uint32_t D3DFONT_TWOSIDED = 0x10;
constexpr std::uint32_t D3DFONT_FILTERED = 0x20;

// ORs the flags named in a list separated by ',' or ';' (names compare exactly); unknown names
// are logged and add nothing.
std::uint32_t ParseFontFlags(std::string_view text);
