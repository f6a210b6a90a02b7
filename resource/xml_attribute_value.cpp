#include "resource/xml_attribute_value.h"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "resource/xml_arena.h"

namespace {
int FloatCount(eXmlValueType type) {
    switch (type) {
        case XML_VALUE_FLOAT:
            return 1;
        case XML_VALUE_VECTOR:
            return 3;
        case XML_VALUE_BOX:
            return 6;
        default:
            return 0;
    }
}
}  // namespace

enXmlValue::enXmlValue(const enXmlValue& other) {
    *this = other;
}

enXmlValue::enXmlValue(enXmlValue&& other) noexcept
    : m_payload(other.m_payload),
      m_text(other.m_text),
      m_length(other.m_length),
      m_type(other.m_type),
      m_storage(other.m_storage),
      m_rounded(other.m_rounded),
      m_arena(other.m_arena) {
    other.m_storage = eStorage::None;
    other.m_text = nullptr;
    other.m_length = 0;
    other.m_type = XML_VALUE_UNTYPED;
}

enXmlValue& enXmlValue::operator=(const enXmlValue& other) {
    if (this == &other) {
        return *this;
    }
    if (other.m_type == XML_VALUE_UNTYPED) {
        SetText(other.View());
    } else {
        SetNumber(other.m_type);
        m_payload = other.m_payload;
        m_rounded = other.m_rounded;
    }
    return *this;
}

enXmlValue& enXmlValue::operator=(std::string_view text) {
    SetText(text);
    return *this;
}

void enXmlValue::SetText(std::string_view text) {
    // The text may be a view of this value's own storage: a heap text is freed only after the
    // copy, and an inline one is moved within itself.
    const char* previous = m_storage == eStorage::Heap ? m_text : nullptr;
    if (text.size() <= kInlineCapacity) {
        if (!text.empty()) {  // an empty view may have no data at all
            std::memmove(m_payload.text, text.data(), text.size());
        }
        m_payload.text[text.size()] = '\0';
        m_storage = eStorage::Inline;
        m_length = static_cast<std::uint32_t>(text.size());
    } else {
        StoreOutOfLine(text);
    }
    delete[] previous;
    m_type = XML_VALUE_UNTYPED;
    m_rounded = false;
}

void enXmlValue::SetNumber(eXmlValueType type) {
    ReleaseText();
    m_type = type;
    m_rounded = false;
}

void enXmlValue::SetInt(std::int32_t value) {
    SetNumber(XML_VALUE_INT);
    m_payload.integer = value;
}

void enXmlValue::SetHex(std::uint32_t value) {
    SetNumber(XML_VALUE_HEX);
    m_payload.word = value;
}

void enXmlValue::SetFloat(float value) {
    SetNumber(XML_VALUE_FLOAT);
    m_payload.floats[0] = value;
}

void enXmlValue::SetVector(const D3DXVECTOR3& value) {
    SetNumber(XML_VALUE_VECTOR);
    m_payload.floats[0] = value.x;
    m_payload.floats[1] = value.y;
    m_payload.floats[2] = value.z;
}

void enXmlValue::SetBox(const tXmlBox& value) {
    SetNumber(XML_VALUE_BOX);
    const float corners[6] = {value.first.x,  value.first.y,  value.first.z,
                              value.second.x, value.second.y, value.second.z};
    std::memcpy(m_payload.floats, corners, sizeof corners);
}

void enXmlValue::SetBool(bool value) {
    SetNumber(XML_VALUE_BOOL);
    m_payload.flag = value;
}

std::string_view enXmlValue::View() const {
    if (m_storage == eStorage::None && m_type != XML_VALUE_UNTYPED) {
        MakeText();
    }
    switch (m_storage) {
        case eStorage::None:
            return {};
        case eStorage::Inline:
            return {m_payload.text, m_length};
        default:
            return {m_text, m_length};
    }
}

const char* enXmlValue::c_str() const {
    const std::string_view text = View();
    return m_storage == eStorage::None ? "" : text.data();
}

void enXmlValue::MakeText() const {
    char text[kMaxXmlValueTextLength];
    char* end = text;
    switch (m_type) {
        case XML_VALUE_INT:
            end = FormatXmlIntTo(text, m_payload.integer);
            break;
        case XML_VALUE_HEX:
            end = FormatXmlHexTo(text, m_payload.word);
            break;
        case XML_VALUE_FLOAT:
        case XML_VALUE_VECTOR:
        case XML_VALUE_BOX:
            end = FormatXmlFloatsTo(text, m_payload.floats, FloatCount(m_type));
            break;
        case XML_VALUE_BOOL: {
            const std::string_view word = m_payload.flag ? "true" : "false";
            end = std::copy(word.begin(), word.end(), text);
            break;
        }
        default:
            break;
    }
    StoreOutOfLine(std::string_view(text, static_cast<std::size_t>(end - text)));
}

void enXmlValue::StoreOutOfLine(std::string_view text) const {
    if (m_arena) {
        m_text = m_arena->CopyText(text);
        m_storage = eStorage::Arena;
    } else {
        char* copy = new char[text.size() + 1];
        std::memcpy(copy, text.data(), text.size());
        copy[text.size()] = '\0';
        m_text = copy;
        m_storage = eStorage::Heap;
    }
    m_length = static_cast<std::uint32_t>(text.size());
}

void enXmlValue::ReleaseText() const {
    if (m_storage == eStorage::Heap) {
        delete[] m_text;
    }
    m_text = nullptr;
    m_length = 0;
    m_storage = eStorage::None;
}

const float* enXmlValue::RoundedFloats() const {
    if (!m_rounded) {
        for (int i = 0; i < FloatCount(m_type); ++i) {
            m_payload.floats[i] = m_type == XML_VALUE_FLOAT ? RoundTripXmlFloat(m_payload.floats[i])
                                                            : RoundTripXmlComponent(m_payload.floats[i]);
        }
        m_rounded = true;
    }
    return m_payload.floats;
}

std::int32_t enXmlValue::ReadInt() const {
    return m_type == XML_VALUE_INT ? m_payload.integer : ParseXmlInt(c_str());
}

void enXmlValue::ReadHex(std::uint32_t& value) const {
    if (m_type == XML_VALUE_HEX) {
        value = m_payload.word;
    } else {
        ParseXmlHex(c_str(), value);
    }
}

float enXmlValue::ReadFloat() const {
    return m_type == XML_VALUE_FLOAT ? RoundedFloats()[0] : ParseXmlFloat(c_str());
}

void enXmlValue::ReadVector(D3DXVECTOR3& value) const {
    if (m_type == XML_VALUE_VECTOR) {
        const float* floats = RoundedFloats();
        value = D3DXVECTOR3(floats[0], floats[1], floats[2]);
    } else {
        ParseXmlVector(c_str(), value);
    }
}

void enXmlValue::ReadBox(tXmlBox& value) const {
    if (m_type == XML_VALUE_BOX) {
        const float* floats = RoundedFloats();
        value.first = D3DXVECTOR3(floats[0], floats[1], floats[2]);
        value.second = D3DXVECTOR3(floats[3], floats[4], floats[5]);
    } else {
        ParseXmlBox(c_str(), value);
    }
}

bool enXmlValue::ReadBool() const {
    return m_type == XML_VALUE_BOOL ? m_payload.flag : ParseXmlBool(View());
}

std::ostream& operator<<(std::ostream& out, const enXmlValue& value) {
    return out << value.View();
}
