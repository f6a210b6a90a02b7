#include "resource/xml_value.h"

#include <charconv>
#include <climits>
#include <cstdlib>

#include "resource/name_atom.h"

namespace {

bool IsLowerCaseLetter(char c) {
    return c >= 'a' && c <= 'z';
}

std::string FormatFloats(const float* values, int count) {
    char text[kMaxXmlValueTextLength];
    return std::string(text, FormatXmlFloatsTo(text, values, count));
}

// "%f,%f,..." as scanf reads it: each number may start after blanks, each comma must follow
// directly; reading stops at the first mismatch.
int ParseFloatList(const char* text, float* values, int count) {
    const char* cursor = text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (*cursor != ',') {
                return i;
            }
            ++cursor;
        }
        char* end = nullptr;
        const float value = std::strtof(cursor, &end);
        if (end == cursor) {
            return i;
        }
        values[i] = value;
        cursor = end;
    }
    return count;
}

}  // namespace

eXmlValueType XmlValueTypeOf(std::string_view name) {
    struct Prefix {
        std::string_view text;
        eXmlValueType type;
    };
    static constexpr Prefix kPrefixes[] = {
        {"s", XML_VALUE_STRING},  {"i", XML_VALUE_INT},  {"dw", XML_VALUE_HEX}, {"f", XML_VALUE_FLOAT},
        {"p3", XML_VALUE_VECTOR}, {"b3", XML_VALUE_BOX}, {"b", XML_VALUE_BOOL},
    };
    if (name.size() < 2 || !IsLowerCaseLetter(name[0])) {
        return XML_VALUE_UNTYPED;
    }
    for (const Prefix& prefix : kPrefixes) {
        if (name.size() > prefix.text.size() && name.starts_with(prefix.text) &&
            !IsLowerCaseLetter(name[prefix.text.size()])) {
            return prefix.type;
        }
    }
    return XML_VALUE_UNTYPED;
}

char* FormatXmlIntTo(char* out, std::int32_t value) {
    return std::to_chars(out, out + kMaxXmlValueTextLength, value).ptr;
}

char* FormatXmlHexTo(char* out, std::uint32_t value) {
    return std::to_chars(out, out + kMaxXmlValueTextLength, value, 16).ptr;
}

// "%g" of each value widened to double, comma-separated. to_chars with a precision is defined
// as printf's "%g" in the C locale, and is much faster.
char* FormatXmlFloatsTo(char* out, const float* values, int count) {
    char* const end = out + kMaxXmlValueTextLength;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            *out++ = ',';
        }
        out = std::to_chars(out, end, static_cast<double>(values[i]), std::chars_format::general, 6).ptr;
    }
    return out;
}

std::string FormatXmlInt(std::int32_t value) {
    char text[kMaxXmlValueTextLength];
    return std::string(text, FormatXmlIntTo(text, value));
}

std::string FormatXmlHex(std::uint32_t value) {
    char text[kMaxXmlValueTextLength];
    return std::string(text, FormatXmlHexTo(text, value));
}

std::string FormatXmlFloat(float value) {
    return FormatFloats(&value, 1);
}

std::string FormatXmlVector(const D3DXVECTOR3& v) {
    const float components[3] = {v.x, v.y, v.z};
    return FormatFloats(components, 3);
}

std::string FormatXmlBox(const tXmlBox& b) {
    const float components[6] = {b.first.x, b.first.y, b.first.z, b.second.x, b.second.y, b.second.z};
    return FormatFloats(components, 6);
}

std::string FormatXmlBool(bool value) {
    return value ? "true" : "false";
}

std::int32_t ParseXmlInt(const char* text) {
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<std::int32_t>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

void ParseXmlHex(const char* text, std::uint32_t& value) {
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 16);
    if (end != text) {
        value = static_cast<std::uint32_t>(parsed);
    }
}

float ParseXmlFloat(const char* text) {
    return static_cast<float>(std::strtod(text, nullptr));
}

void ParseXmlVector(const char* text, D3DXVECTOR3& value) {
    float components[3] = {value.x, value.y, value.z};
    ParseFloatList(text, components, 3);
    value = D3DXVECTOR3(components[0], components[1], components[2]);
}

void ParseXmlBox(const char* text, tXmlBox& value) {
    float components[6] = {value.first.x,  value.first.y,  value.first.z,
                           value.second.x, value.second.y, value.second.z};
    ParseFloatList(text, components, 6);
    value.first = D3DXVECTOR3(components[0], components[1], components[2]);
    value.second = D3DXVECTOR3(components[3], components[4], components[5]);
}

bool ParseXmlBool(std::string_view text) {
    return !EqualsIgnoringCase(text, "false");
}

float RoundTripXmlFloat(float value) {
    char text[kMaxXmlValueTextLength];
    *FormatXmlFloatsTo(text, &value, 1) = '\0';
    return ParseXmlFloat(text);
}

float RoundTripXmlComponent(float value) {
    char text[kMaxXmlValueTextLength];
    *FormatXmlFloatsTo(text, &value, 1) = '\0';
    return std::strtof(text, nullptr);
}
