#include "platform/win32/profile_document.h"

#include "platform/win32/path_resolver.h"

namespace win32 {

namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The name of a "[name]" line, or nothing for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    const std::size_t close = line.find(']');
    if (!line.starts_with("[") || close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> KeyValue(std::string_view line) {
    line = Trim(line);
    const std::size_t equals = line.find('=');
    if (line.starts_with(";") || line.starts_with("[") || equals == std::string_view::npos) {
        return std::nullopt;
    }
    return Entry{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool FitsOnALine(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace

ProfileDocument::ProfileDocument(std::string_view text) {
    if (!text.empty() && text.find("\r\n") == std::string_view::npos &&
        text.find('\n') != std::string_view::npos) {
        m_lineEnd = "\n";
    }
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end;
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        m_lines.emplace_back(line);
        start = end + 1;
    }
}

std::optional<ProfileDocument::Range> ProfileDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionName(m_lines[i]);
        if (name && EqualsIgnoringCase(*name, section)) {
            std::size_t end = i + 1;
            while (end < m_lines.size() && !SectionName(m_lines[end])) {
                ++end;
            }
            return Range{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileDocument::FindKey(const Range& range, std::string_view key) const {
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto entry = KeyValue(m_lines[i]);
        if (entry && EqualsIgnoringCase(entry->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileDocument::Get(std::string_view section, std::string_view key) const {
    const auto range = FindSection(section);
    const auto line = range ? FindKey(*range, key) : std::nullopt;
    if (!line) {
        return std::nullopt;
    }
    return std::string(Unquoted(KeyValue(m_lines[*line])->value));
}

bool ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view trimmedKey = Trim(key);
    if (!FitsOnALine(section) || !FitsOnALine(key) || !FitsOnALine(value) ||
        section.find(']') != std::string_view::npos || trimmedKey.empty() ||
        trimmedKey.find('=') != std::string_view::npos || trimmedKey.starts_with("[") ||
        trimmedKey.starts_with(";")) {
        return false;
    }
    const std::string line = std::string(trimmedKey) + "=" + std::string(value);
    const auto range = FindSection(section);
    if (!range) {
        m_lines.push_back("[" + std::string(section) + "]");
        m_lines.push_back(line);
        return true;
    }
    if (const auto existing = FindKey(*range, key)) {
        m_lines[*existing] = line;
        return true;
    }
    // After the section's last non-blank line, so blank separators stay below it.
    std::size_t insertAt = range->end;
    while (insertAt > range->header + 1 && Trim(m_lines[insertAt - 1]).empty()) {
        --insertAt;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
    return true;
}

bool ProfileDocument::Remove(std::string_view section, std::string_view key) {
    const auto range = FindSection(section);
    const auto line = range ? FindKey(*range, key) : std::nullopt;
    if (!line) {
        return false;
    }
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*line));
    return true;
}

std::string ProfileDocument::Text() const {
    std::string text;
    for (const auto& line : m_lines) {
        text += line + m_lineEnd;
    }
    return text;
}

}  // namespace win32
