#pragma once
// Tokens of the text form. Liberal in what it accepts: ',' and ';' anywhere, missing
// separators, '#' and '//' comments, GUIDs in angle brackets, numbers in C notation (including
// the "1.#QNAN0" forms some exporters write, read as 0).

#include <cstddef>
#include <string_view>

#include "platform/dxfile/x_token.h"

namespace dxfile {

class TextLexer : public TokenSource {
public:
    explicit TextLexer(std::string_view text) : m_text(text) {}
    Token Next() override;

private:
    void SkipBlanksAndComments();
    Token ReadEnclosed(char close, TokenKind kind);
    Token ReadWord();
    void SkipWordChars();

    std::string_view m_text;
    std::size_t m_pos = 0;
};

}  // namespace dxfile
