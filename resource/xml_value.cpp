#include "resource/xml_value.h"

#include <charconv>
#include <climits>
#include <cstdlib>

#include "resource/name_atom.h"

namespace {

bool IsLowerCaseLetter(char c) {
    return c >= 'a' && c <= 'z';
}

// "%g" of each value widened to double, comma-separated. to_chars with a precision is defined
// as printf's "%g" in the C locale, and is much faster.
std::string FormatFloats(const float* values, int count) {
    char text[6 * 32];
    char* end = text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            *end++ = ',';
        }
        end = std::to_chars(end, text + sizeof text, static_cast<double>(values[i]),
                            std::chars_format::general, 6)
                  .ptr;
    }
    return std::string(text, end);
}

// "%f,%f,..." as scanf reads it: each number may start after blanks, each comma must follow
// directly; reading stops at the first mismatch.
int ParseFloatList(const std::string& text, float* values, int count) {
    const char* cursor = text.c_str();
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

std::string FormatXmlInt(std::int32_t value) {
    char text[16];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string FormatXmlHex(std::uint32_t value) {
    char text[16];
    return std::string(text, std::to_chars(text, text + sizeof text, value, 16).ptr);
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

std::int32_t ParseXmlInt(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : value);
}

void ParseXmlHex(const std::string& text, std::uint32_t& value) {
    const char* start = text.c_str();
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(start, &end, 16);
    if (end != start) {
        value = static_cast<std::uint32_t>(parsed);
    }
}

float ParseXmlFloat(const std::string& text) {
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

void ParseXmlVector(const std::string& text, D3DXVECTOR3& value) {
    float components[3] = {value.x, value.y, value.z};
    ParseFloatList(text, components, 3);
    value = D3DXVECTOR3(components[0], components[1], components[2]);
}

void ParseXmlBox(const std::string& text, tXmlBox& value) {
    float components[6] = {value.first.x,  value.first.y,  value.first.z,
                           value.second.x, value.second.y, value.second.z};
    ParseFloatList(text, components, 6);
    value.first = D3DXVECTOR3(components[0], components[1], components[2]);
    value.second = D3DXVECTOR3(components[3], components[4], components[5]);
}

bool ParseXmlBool(const std::string& text) {
    return !EqualsIgnoringCase(text, "false");
}
