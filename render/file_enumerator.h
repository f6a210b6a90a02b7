#pragma once
// Lists the plain files of a folder tree that match a pattern.

#include <string>
#include <string_view>
#include <vector>

class CFileEnumerator {
public:
    CFileEnumerator() = default;
    virtual ~CFileEnumerator() = default;

    // Appends the normalised full paths of the matching files: a folder's own files first,
    // then (when recursive) those of each subfolder.
    std::vector<std::string>& Enumerate(std::string_view folder, std::string_view pattern, bool recursive);
    const std::vector<std::string>& Files() const { return m_files; }

private:
    std::vector<std::string> m_files;
};
