#pragma once
// The characters NormalizePath would produce for a path given in pieces, one at a time and
// without building the path, so look-ups compare and hash paths without allocating.

#include <array>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string_view>

class CNormalizedPathReader {
public:
    // At most four pieces, read as one path in order; they must outlive the reader.
    CNormalizedPathReader(std::initializer_list<std::string_view> pieces) {
        if (pieces.size() > m_pieces.size()) {
            throw std::length_error("a path of more than four pieces");
        }
        for (const std::string_view piece : pieces) {
            m_pieces[m_count++] = piece;
        }
    }

    bool Next(char& out) {
        char raw = 0;
        while (NextRaw(raw)) {
            if (m_atStart) {
                m_atStart = false;
                if (raw == '\\') {
                    continue;
                }
            }
            const char c = raw == '/' ? '\\' : LowerCase(raw);
            if (c == '\\' && m_afterBackslash) {
                continue;
            }
            m_afterBackslash = c == '\\';
            out = c;
            return true;
        }
        return false;
    }

    // Whether the rest of the normalised path equals the text.
    bool RestEquals(std::string_view text) {
        char c = 0;
        for (const char expected : text) {
            if (!Next(c) || c != expected) {
                return false;
            }
        }
        return !Next(c);
    }

private:
    // The C locale's lower case, whatever locale a dialog library may have switched to, so
    // that the same path always normalises alike.
    static char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

    bool NextRaw(char& raw) {
        while (m_piece < m_count) {
            if (m_offset < m_pieces[m_piece].size()) {
                raw = m_pieces[m_piece][m_offset++];
                return true;
            }
            ++m_piece;
            m_offset = 0;
        }
        return false;
    }

    std::array<std::string_view, 4> m_pieces{};
    std::size_t m_count = 0;
    std::size_t m_piece = 0;
    std::size_t m_offset = 0;
    bool m_atStart = true;
    bool m_afterBackslash = false;
};
