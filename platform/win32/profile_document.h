#pragma once
// For the profile stand-in only: the lines of an INI file, looked up and edited in place
// so that comments, order and unknown lines survive a write.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

class ProfileDocument {
public:
    // Any text is accepted; lines that are neither sections nor "key=value" are kept as
    // they are and otherwise ignored.
    explicit ProfileDocument(std::string_view text);

    // The value of the first matching key in the first matching section; section and key
    // names ignore case, and one pair of surrounding quotes is removed from the value.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // False for names or values that a line cannot hold (line breaks, '=' or ']' in names).
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    bool Remove(std::string_view section, std::string_view key);

    std::string Text() const;

private:
    struct Range {
        std::size_t header;  // index of the section line
        std::size_t end;     // one past the section's last line
    };
    std::optional<Range> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;

    std::vector<std::string> m_lines;
    std::string m_lineEnd = "\r\n";
};

}  // namespace win32
