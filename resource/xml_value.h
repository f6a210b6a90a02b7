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

// Longest text of one typed value: six floats and their commas.
constexpr std::size_t kMaxXmlValueTextLength = 6 * 32;

// Each writes the text form at out and returns the end; out holds kMaxXmlValueTextLength bytes.
char* FormatXmlIntTo(char* out, std::int32_t value);
char* FormatXmlHexTo(char* out, std::uint32_t value);
char* FormatXmlFloatsTo(char* out, const float* values, int count);

std::string FormatXmlInt(std::int32_t value);
std::string FormatXmlHex(std::uint32_t value);
std::string FormatXmlFloat(float value);
std::string FormatXmlVector(const D3DXVECTOR3& value);
std::string FormatXmlBox(const tXmlBox& value);
std::string FormatXmlBool(bool value);

// Leading blanks and a sign are accepted, reading stops at the first other character, and no
// digits read as 0. Out-of-range numbers saturate.
std::int32_t ParseXmlInt(const char* text);
// Hexadecimal with an optional 0x; text without digits leaves value untouched.
void ParseXmlHex(const char* text, std::uint32_t& value);
float ParseXmlFloat(const char* text);
// Comma-separated floats; only the components that parse are stored, the rest keep their value.
void ParseXmlVector(const char* text, D3DXVECTOR3& value);
void ParseXmlBox(const char* text, tXmlBox& value);
// Everything but "false" in any case is true.
bool ParseXmlBool(std::string_view text);

// What a float reads back as from its own text: rounded to six significant digits. A float
// property is read as by atof, a vector or box component as by scanf's "%f".
float RoundTripXmlFloat(float value);
float RoundTripXmlComponent(float value);
