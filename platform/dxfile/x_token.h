#pragma once
// The tokens both X-file encodings reduce to. Keywords and type names of the binary form come
// out as names, and lists of numbers as one number token each, so one parser reads both.

#include <string>

namespace dxfile {

enum class TokenKind {
    End,
    Name,
    String,
    Integer,
    Float,
    Guid,
    OpenBrace,
    CloseBrace,
    OpenBracket,
    CloseBracket,
    Separator,  // ',' ';' '.' '(' ')' and other punctuation without meaning to the parser
    Error,      // malformed or truncated input
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;     // names and strings
    double number = 0.0;  // integers and floats
};

class TokenSource {
public:
    virtual ~TokenSource() = default;
    virtual Token Next() = 0;
};

}  // namespace dxfile
