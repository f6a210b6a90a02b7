// Group file directory reader: arbitrary bytes as an archive. A directory that reads must be
// written again and read back with the same names.
#include <cstdint>
#include <vector>

#include "resource/group_archive.h"

namespace {
bool SameNames(const tGroupArchiveFolder& a, const tGroupArchiveFolder& b) {
    if (a.name != b.name || a.files.size() != b.files.size() || a.folders.size() != b.folders.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.files.size(); ++i) {
        if (a.files[i].name != b.files[i].name) {
            return false;
        }
    }
    for (std::size_t i = 0; i < a.folders.size(); ++i) {
        if (!SameNames(a.folders[i], b.folders[i])) {
            return false;
        }
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CGroupArchiveSource source = CGroupArchiveSource::FromMemory({data, size});
    tGroupArchiveFolder root;
    std::uint32_t version = 0;
    if (ReadGroupArchive(source, root, version) != eGroupArchiveStatus::Ok) {
        return 0;
    }
    std::vector<std::uint8_t> rewritten;
    std::string problem;
    tGroupArchiveFolder again;
    if (!WriteGroupArchive(root, rewritten, problem)) {
        __builtin_trap();
    }
    CGroupArchiveSource reread = CGroupArchiveSource::FromMemory(rewritten);
    if (ReadGroupArchive(reread, again, version) != eGroupArchiveStatus::Ok || !SameNames(root, again)) {
        __builtin_trap();
    }
    return 0;
}
