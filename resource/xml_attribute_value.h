#pragma once
// The value of an XML attribute. Every value reads as text. A typed value (read from the binary
// form or set through a typed setter) keeps its number, answers typed reads from it and makes
// its text only when somebody asks for the text.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "resource/xml_value.h"

class CXmlArena;

class enXmlValue {
public:
    enXmlValue() = default;
    // A value whose texts are kept in the arena of its document.
    explicit enXmlValue(CXmlArena* arena) : m_arena(arena) {}
    // A copy keeps its texts on the heap: it may outlive the other's document.
    enXmlValue(const enXmlValue& other);
    enXmlValue(enXmlValue&& other) noexcept;
    // Keeps this value's own storage place.
    enXmlValue& operator=(const enXmlValue& other);
    enXmlValue& operator=(std::string_view text);
    enXmlValue& operator=(const char* text) { return *this = std::string_view(text); }
    enXmlValue& operator=(const std::string& text) { return *this = std::string_view(text); }
    ~enXmlValue() { ReleaseText(); }

    void SetText(std::string_view text);
    void SetInt(std::int32_t value);
    void SetHex(std::uint32_t value);
    void SetFloat(float value);
    void SetVector(const D3DXVECTOR3& value);
    void SetBox(const tXmlBox& value);
    void SetBool(bool value);

    // XML_VALUE_UNTYPED for a value held as text.
    eXmlValueType Type() const { return m_type; }

    std::string_view View() const;
    const char* c_str() const;
    std::size_t size() const { return View().size(); }
    bool empty() const { return View().empty(); }
    operator std::string_view() const { return View(); }          // NOLINT: reads as a string
    operator std::string() const { return std::string(View()); }  // NOLINT

    // The readings of the text form; a value of the asked type answers from its number.
    std::int32_t ReadInt() const;
    void ReadHex(std::uint32_t& value) const;
    float ReadFloat() const;
    void ReadVector(D3DXVECTOR3& value) const;
    void ReadBox(tXmlBox& value) const;
    bool ReadBool() const;

    friend bool operator==(const enXmlValue& value, std::string_view text) { return value.View() == text; }
    friend std::string operator+(std::string text, const enXmlValue& value) {
        return text.append(value.View());
    }
    friend std::ostream& operator<<(std::ostream& out, const enXmlValue& value);

private:
    enum class eStorage : std::uint8_t { None, Inline, Arena, Heap };
    static constexpr std::size_t kInlineCapacity = 23;

    union tPayload {
        std::int32_t integer;
        std::uint32_t word;
        float floats[6];
        bool flag;
        char text[kInlineCapacity + 1];
    };

    void SetNumber(eXmlValueType type);
    void MakeText() const;
    // Text that does not fit inline, kept in the arena or on the heap.
    void StoreOutOfLine(std::string_view text) const;
    void ReleaseText() const;
    // Floats that read back from their own text unchanged, as every float read from text does.
    const float* RoundedFloats() const;

    mutable tPayload m_payload{};
    mutable const char* m_text = nullptr;
    mutable std::uint32_t m_length = 0;
    eXmlValueType m_type = XML_VALUE_UNTYPED;
    mutable eStorage m_storage = eStorage::None;
    mutable bool m_rounded = false;
    CXmlArena* m_arena = nullptr;
};
