#pragma once
// The binary form of XML documents: one root element record followed by an 8-byte check
// value. Common names cost one byte through a small dictionary; typed properties are stored
// as binary values.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "resource/xml.h"

enum class eBmlLimit { None, Counts, StringLength, Depth };

struct tBmlLimitViolation {
    eBmlLimit limit = eBmlLimit::None;
    std::string description;  // names the element and the limit
};

class CXmlBmlConverter {
public:
    static constexpr std::size_t kMaxStringLength = 4095;
    static constexpr std::size_t kMaxAttributes = 63;
    static constexpr std::size_t kMaxChildren = 1023;
    // Far deeper than any document needs; it bounds the recursion of reading and writing.
    static constexpr int kMaxDepth = 256;

    // The document, or null when the bytes are damaged or the check value does not match.
    static std::unique_ptr<enXml> FromBinary(std::span<const std::uint8_t> bytes);

    // Encodes the subtree into Buffer(), with the check value at the top level. A subtree
    // beyond the limits of the form is not encoded.
    bool ToBinary(const enXml& node, bool topLevel = true);
    const std::vector<std::uint8_t>& Buffer() const { return m_buffer; }

    // The first place where a subtree exceeds the limits of the form.
    static tBmlLimitViolation FindLimitViolation(const enXml& node);

    // The two check words over the bytes.
    static std::pair<std::uint32_t, std::uint32_t> CheckValue(std::span<const std::uint8_t> bytes);

private:
    void WriteElement(const enXml& node);
    void WriteValue(const enXml& node, eXmlValueType type);
    void WriteString(std::string_view text);
    void WriteByte(std::uint8_t value) { m_buffer.push_back(value); }
    void WriteWord(std::uint32_t value);
    void WriteFloat(float value);
    void WriteVector(const D3DXVECTOR3& value);

    std::vector<std::uint8_t> m_buffer;
};
