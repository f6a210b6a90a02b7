#include "platform/dxfile/x_text_lexer.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace dxfile {
namespace {

bool IsWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > ' ' && c != '{' && c != '}' && c != '[' && c != ']' && c != '<' && c != '>' && c != ';' &&
           c != ',' && c != '"' && c != '(' && c != ')' && c != '#' && u != 0x7F;
}

// A word that reads fully as a C number; "#" forms (1.#IND00, -1.#QNAN0) count as 0.
bool ParseNumber(const std::string& word, Token& token) {
    const char first = word[0];
    if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '-' || first == '+' || first == '.')) {
        return false;
    }
    const std::size_t hash = word.find('#');
    const std::string digits = word.substr(0, hash);
    if (digits.empty() || digits == "-" || digits == "+") {
        return false;
    }
    char* end = nullptr;
    const double value = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size()) {
        return false;
    }
    const bool isFloat = hash != std::string::npos || digits.find_first_of(".eE") != std::string::npos;
    token.kind = isFloat ? TokenKind::Float : TokenKind::Integer;
    token.number = hash != std::string::npos ? 0.0 : value;
    return true;
}

}  // namespace

void TextLexer::SkipBlanksAndComments() {
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        const bool lineComment =
            c == '#' || (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/');
        if (lineComment) {
            const std::size_t end = m_text.find('\n', m_pos);
            m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
        } else if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) {
            ++m_pos;
        } else {
            return;
        }
    }
}

// A string in double quotes or a GUID in angle brackets: everything up to the closing mark.
Token TextLexer::ReadEnclosed(char close, TokenKind kind) {
    const std::size_t end = m_text.find(close, m_pos + 1);
    if (end == std::string_view::npos) {
        return {TokenKind::Error, {}, 0.0};
    }
    Token token{kind, std::string(m_text.substr(m_pos + 1, end - m_pos - 1)), 0.0};
    m_pos = end + 1;
    return token;
}

// A word ends at a separator or where a "//" comment starts.
void TextLexer::SkipWordChars() {
    while (m_pos < m_text.size() && IsWordChar(m_text[m_pos]) &&
           !(m_text[m_pos] == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/')) {
        ++m_pos;
    }
}

Token TextLexer::ReadWord() {
    const std::size_t start = m_pos;
    SkipWordChars();
    // "1.#QNAN0": a '#' right after a number's point belongs to it, it starts no comment.
    while (m_pos < m_text.size() && m_text[m_pos] == '#' && m_pos > start && m_text[m_pos - 1] == '.') {
        ++m_pos;
        SkipWordChars();
    }
    Token token{TokenKind::Name, std::string(m_text.substr(start, m_pos - start)), 0.0};
    ParseNumber(token.text, token);
    return token;
}

Token TextLexer::Next() {
    SkipBlanksAndComments();
    if (m_pos >= m_text.size()) {
        return {};
    }
    const char c = m_text[m_pos];
    switch (c) {
        case '{':
            ++m_pos;
            return {TokenKind::OpenBrace, {}, 0.0};
        case '}':
            ++m_pos;
            return {TokenKind::CloseBrace, {}, 0.0};
        case '[':
            ++m_pos;
            return {TokenKind::OpenBracket, {}, 0.0};
        case ']':
            ++m_pos;
            return {TokenKind::CloseBracket, {}, 0.0};
        case '"':
            return ReadEnclosed('"', TokenKind::String);
        case '<':
            return ReadEnclosed('>', TokenKind::Guid);
        default:
            break;
    }
    if (!IsWordChar(c)) {
        ++m_pos;
        return {TokenKind::Separator, {}, 0.0};
    }
    return ReadWord();
}

}  // namespace dxfile
