#include "tools/xml_tool/latin1_text.h"

#include <cstdio>

namespace zumbo::tools {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

std::string CodePoint(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof(text), "U+%04X", value);
    return text;
}

// The length of the sequence a lead byte starts, or 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

}  // namespace

bool Utf8ToLatin1(std::string_view utf8, std::string& latin1, std::string& problem) {
    latin1.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            latin1 += static_cast<char>(lead);
            ++i;
            continue;
        }
        const std::size_t length = SequenceLength(lead);
        if (length == 0 || i + length > utf8.size()) {
            problem = "malformed UTF-8";
            return false;
        }
        unsigned value = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if (!IsContinuation(next)) {
                problem = "malformed UTF-8";
                return false;
            }
            value = (value << 6) | (next & 0x3F);
        }
        // The shortest form only: an overlong one could smuggle any byte past a check.
        constexpr unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length]) {
            problem = "malformed UTF-8";
            return false;
        }
        if (value > 0xFF) {
            problem = "the character " + CodePoint(value) + " is beyond Latin-1 (U+00FF)";
            return false;
        }
        latin1 += static_cast<char>(value);
        i += length;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

}  // namespace zumbo::tools
