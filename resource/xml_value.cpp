#include "resource/xml_value.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "resource/name_atom.h"

namespace {

bool IsLowerCaseLetter(char c) {
    return c >= 'a' && c <= 'z';
}

template <typename... Values>
std::string Format(const char* format, Values... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
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
    return std::to_string(value);
}

std::string FormatXmlHex(std::uint32_t value) {
    return Format("%x", value);
}

std::string FormatXmlFloat(float value) {
    return Format("%g", static_cast<double>(value));
}

std::string FormatXmlVector(const D3DXVECTOR3& v) {
    return Format("%g,%g,%g", double(v.x), double(v.y), double(v.z));
}

std::string FormatXmlBox(const tXmlBox& b) {
    return Format("%g,%g,%g,%g,%g,%g", double(b.first.x), double(b.first.y), double(b.first.z),
                  double(b.second.x), double(b.second.y), double(b.second.z));
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
