#pragma once
// Typed values stored as text: the type follows from a property name's prefix, and every type
// has one text form for writing and a lenient reading.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/d3dx8/math.h"

enum eXmlValueType : std::uint8_t {
    XML_VALUE_STRING = 0,  // s
    XML_VALUE_INT = 1,     // i
    XML_VALUE_HEX = 2,     // dw
    XML_VALUE_FLOAT = 3,   // f
    XML_VALUE_VECTOR = 4,  // p3
    XML_VALUE_BOX = 5,     // b3
    XML_VALUE_BOOL = 6,    // b
    XML_VALUE_UNTYPED = 7,
};

// A box as two corners, first then second.
struct tXmlBox {
    D3DXVECTOR3 first;
    D3DXVECTOR3 second;
};

// The prefix must be followed by a character that is not a lower-case letter, so "bounds" is
// untyped while "bVisible" is a boolean.
eXmlValueType XmlValueTypeOf(std::string_view name);

std::string FormatXmlInt(std::int32_t value);
std::string FormatXmlHex(std::uint32_t value);
std::string FormatXmlFloat(float value);
std::string FormatXmlVector(const D3DXVECTOR3& value);
std::string FormatXmlBox(const tXmlBox& value);
std::string FormatXmlBool(bool value);

// Leading blanks and a sign are accepted, reading stops at the first other character, and no
// digits read as 0. Out-of-range numbers saturate.
std::int32_t ParseXmlInt(const std::string& text);
// Hexadecimal with an optional 0x; text without digits leaves value untouched.
void ParseXmlHex(const std::string& text, std::uint32_t& value);
float ParseXmlFloat(const std::string& text);
// Comma-separated floats; only the components that parse are stored, the rest keep their value.
void ParseXmlVector(const std::string& text, D3DXVECTOR3& value);
void ParseXmlBox(const std::string& text, tXmlBox& value);
// Everything but "false" in any case is true.
bool ParseXmlBool(const std::string& text);
