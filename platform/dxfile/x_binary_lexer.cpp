#include "platform/dxfile/x_binary_lexer.h"

#include <cstring>
#include <string>

namespace dxfile {
namespace {

enum : std::uint16_t {
    kName = 1,
    kString = 2,
    kInteger = 3,
    kGuid = 5,
    kIntegerList = 6,
    kFloatList = 7,
    kOpenBrace = 10,
    kCloseBrace = 11,
    kOpenParen = 12,
    kCloseParen = 13,
    kOpenBracket = 14,
    kCloseBracket = 15,
    kOpenAngle = 16,
    kCloseAngle = 17,
    kDot = 18,
    kComma = 19,
    kSemicolon = 20,
    kTemplate = 31,
    kWord = 40,
    kDword = 41,
    kFloat = 42,
    kDouble = 43,
    kChar = 44,
    kUchar = 45,
    kSword = 46,
    kSdword = 47,
    kVoid = 48,
    kLpstr = 49,
    kUnicode = 50,
    kCstring = 51,
    kArray = 52,
};

const char* KeywordName(std::uint16_t code) {
    switch (code) {
        case kTemplate:
            return "template";
        case kWord:
            return "WORD";
        case kDword:
            return "DWORD";
        case kFloat:
            return "FLOAT";
        case kDouble:
            return "DOUBLE";
        case kChar:
            return "CHAR";
        case kUchar:
            return "UCHAR";
        case kSword:
            return "SWORD";
        case kSdword:
            return "SDWORD";
        case kVoid:
            return "VOID";
        case kLpstr:
            return "STRING";
        case kUnicode:
            return "UNICODE";
        case kCstring:
            return "CSTRING";
        case kArray:
            return "array";
        default:
            return nullptr;
    }
}

Token Simple(TokenKind kind) {
    return {kind, {}, 0.0};
}

}  // namespace

bool BinaryLexer::Read(void* out, std::size_t size) {
    if (m_bytes.size() - m_pos < size) {
        return false;
    }
    std::memcpy(out, m_bytes.data() + m_pos, size);
    m_pos += size;
    return true;
}

bool BinaryLexer::ReadDword(std::uint32_t& value) {
    return Read(&value, sizeof value);
}

Token BinaryLexer::ReadCounted(TokenKind kind) {
    std::uint32_t count = 0;
    if (!ReadDword(count) || m_bytes.size() - m_pos < count) {
        return Simple(TokenKind::Error);
    }
    Token token{kind, std::string(reinterpret_cast<const char*>(m_bytes.data() + m_pos), count), 0.0};
    m_pos += count;
    return token;
}

// A string record ends in a ';' or ',' token, written as 16 or 32 bits by different writers.
Token BinaryLexer::ReadStringRecord() {
    Token token = ReadCounted(TokenKind::String);
    std::uint16_t terminator = 0;
    const std::size_t mark = m_pos;
    if (token.kind == TokenKind::String && Read(&terminator, 2)) {
        if (terminator != kSemicolon && terminator != kComma) {
            m_pos = mark;
        } else if (Read(&terminator, 2) && terminator != 0) {
            m_pos -= 2;
        }
    }
    return token;
}

Token BinaryLexer::StartList(bool floats) {
    std::uint32_t count = 0;
    const std::size_t elementSize = floats ? m_floatSize : 4;
    if (!ReadDword(count) || (m_bytes.size() - m_pos) / elementSize < count) {
        return Simple(TokenKind::Error);
    }
    m_listRemaining = count;
    m_listFloats = floats;
    // An empty list reads as a separator, so the caller loops instead of this recursing.
    return count > 0 ? NextListElement() : Simple(TokenKind::Separator);
}

Token BinaryLexer::NextListElement() {
    --m_listRemaining;
    Token token{m_listFloats ? TokenKind::Float : TokenKind::Integer, {}, 0.0};
    if (!m_listFloats) {
        std::uint32_t value = 0;
        Read(&value, 4);
        token.number = value;
    } else if (m_floatSize == 8) {
        double value = 0.0;
        Read(&value, 8);
        token.number = value;
    } else {
        float value = 0.0f;
        Read(&value, 4);
        token.number = value;
    }
    return token;
}

Token BinaryLexer::Next() {
    if (m_listRemaining > 0) {
        return NextListElement();
    }
    if (m_pos == m_bytes.size()) {
        return Simple(TokenKind::End);
    }
    std::uint16_t code = 0;
    if (!Read(&code, 2)) {
        return Simple(TokenKind::Error);
    }
    switch (code) {
        case kName:
            return ReadCounted(TokenKind::Name);
        case kString:
            return ReadStringRecord();
        case kInteger: {
            std::uint32_t value = 0;
            return ReadDword(value) ? Token{TokenKind::Integer, {}, static_cast<double>(value)}
                                    : Simple(TokenKind::Error);
        }
        case kGuid: {
            std::uint8_t guid[16];
            return Read(guid, sizeof guid) ? Simple(TokenKind::Guid) : Simple(TokenKind::Error);
        }
        case kIntegerList:
            return StartList(false);
        case kFloatList:
            return StartList(true);
        case kOpenBrace:
            return Simple(TokenKind::OpenBrace);
        case kCloseBrace:
            return Simple(TokenKind::CloseBrace);
        case kOpenBracket:
            return Simple(TokenKind::OpenBracket);
        case kCloseBracket:
            return Simple(TokenKind::CloseBracket);
        case kOpenParen:
        case kCloseParen:
        case kOpenAngle:
        case kCloseAngle:
        case kDot:
        case kComma:
        case kSemicolon:
            return Simple(TokenKind::Separator);
        default:
            break;
    }
    if (const char* keyword = KeywordName(code)) {
        return {TokenKind::Name, keyword, 0.0};
    }
    return Simple(TokenKind::Error);
}

}  // namespace dxfile
