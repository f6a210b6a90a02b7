#include "render/file_enumerator.h"

#include "platform/win32/files.h"
#include "resource/paths.h"

namespace {

// Deeper trees are not data folders; the bound also stops a loop of folder links.
constexpr int kMaxDepth = 32;

void EnumerateFolder(std::vector<std::string>& files, const std::string& folder, std::string_view pattern,
                     bool recursive, int depth) {
    for (const win32::FindData& found : win32::FindFiles(folder + "\\" + std::string(pattern))) {
        if (!found.directory) {
            files.push_back(NormalizedPath(folder + "\\" + found.name));
        }
    }
    if (!recursive || depth >= kMaxDepth) {
        return;
    }
    for (const win32::FindData& found : win32::FindFiles(folder + "\\*.*")) {
        if (found.directory && found.name != "." && found.name != "..") {
            EnumerateFolder(files, folder + "\\" + found.name, pattern, recursive, depth + 1);
        }
    }
}

}  // namespace

std::vector<std::string>& CFileEnumerator::Enumerate(std::string_view folder, std::string_view pattern,
                                                     bool recursive) {
    EnumerateFolder(m_files, std::string(folder), pattern, recursive, 0);
    return m_files;
}
