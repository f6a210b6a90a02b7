#pragma once
// The normalised names of an open group file, kept in a few large blocks instead of one
// allocation per name, so that opening an archive of thousands of entries stays cheap.

#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

class tGroupName {
public:
    constexpr tGroupName() = default;
    tGroupName(std::string_view text, std::uint32_t hash) : m_text(text), m_hash(hash) {}

    std::string_view Text() const { return m_text; }
    // The case-sensitive name hash of the text.
    std::uint32_t Hash() const { return m_hash; }

private:
    std::string_view m_text;
    std::uint32_t m_hash = 0;
};

// The nameless root and a directory before it is read.
inline constexpr tGroupName kNoGroupName;

class CGroupNameStore {
public:
    // The normalised copy of the name; it stays where it is until Clear.
    const tGroupName* Add(std::string_view name);
    void Clear();

private:
    char* Reserve(std::size_t size);

    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = 0;
    std::size_t m_capacity = 0;
    std::deque<tGroupName> m_names;
};
