#pragma once
// The engine's texts are single bytes, one glyph per byte, so the binary form holds Latin-1
// while text XML holds UTF-8.

#include <string>
#include <string_view>

namespace zumbo::tools {

// The Latin-1 bytes of UTF-8 text. Fails on malformed UTF-8 and on a character beyond U+00FF,
// describing it in problem.
bool Utf8ToLatin1(std::string_view utf8, std::string& latin1, std::string& problem);

// The UTF-8 form of Latin-1 bytes; every byte is a character, so this always succeeds.
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace zumbo::tools
