#pragma once
// Tokens of the binary form: 16-bit token codes with their records; integer and float lists
// are handed out one number at a time, floats of 4 or 8 bytes as the header says.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/dxfile/x_token.h"

namespace dxfile {

class BinaryLexer : public TokenSource {
public:
    BinaryLexer(std::span<const std::uint8_t> bytes, bool doubleFloats)
        : m_bytes(bytes), m_floatSize(doubleFloats ? 8 : 4) {}
    Token Next() override;

private:
    bool Read(void* out, std::size_t size);
    bool ReadDword(std::uint32_t& value);
    Token ReadCounted(TokenKind kind);
    Token ReadStringRecord();
    Token StartList(bool floats);
    Token NextListElement();

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::size_t m_floatSize;
    std::uint32_t m_listRemaining = 0;
    bool m_listFloats = false;
};

}  // namespace dxfile
