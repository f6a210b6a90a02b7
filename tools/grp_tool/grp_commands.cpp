#include "tools/grp_tool/grp_commands.h"

#include <algorithm>
#include <map>
#include <set>

#include "resource/group_archive.h"

namespace zumbo::tools {

namespace {

namespace fs = std::filesystem;

struct tStoredFile {
    std::string path;  // stored names joined with backslashes
    std::vector<std::string> pieces;
    const tGroupArchiveEntry* entry;
};

void CollectFiles(const tGroupArchiveFolder& folder, std::vector<std::string>& pieces,
                  std::vector<tStoredFile>& out) {
    for (const tGroupArchiveEntry& entry : folder.files) {
        pieces.push_back(entry.name);
        std::string path;
        for (const std::string& piece : pieces) {
            path += (path.empty() ? "" : "\\") + piece;
        }
        out.push_back({path, pieces, &entry});
        pieces.pop_back();
    }
    for (const tGroupArchiveFolder& child : folder.folders) {
        pieces.push_back(child.name);
        CollectFiles(child, pieces, out);
        pieces.pop_back();
    }
}

// Reads the archive and checks that every entry's data lies inside the file.
bool ReadArchive(const fs::path& input, std::vector<std::uint8_t>& bytes, tGroupArchiveFolder& root,
                 std::vector<tStoredFile>& files, ToolError& error) {
    if (!ReadHostFile(input, bytes, error)) {
        return false;
    }
    CGroupArchiveSource source = CGroupArchiveSource::FromMemory(bytes);
    std::uint32_t version = 0;
    switch (ReadGroupArchive(source, root, version)) {
        case eGroupArchiveStatus::WrongVersion:
            error = {input.string(), "unsupported version " + std::to_string(version) + " (must be 1)"};
            return false;
        case eGroupArchiveStatus::Damaged:
            error = {input.string(), "damaged directory"};
            return false;
        case eGroupArchiveStatus::Ok:
            break;
    }
    std::vector<std::string> pieces;
    CollectFiles(root, pieces, files);
    for (const tStoredFile& file : files) {
        if (file.entry->offset > bytes.size() || file.entry->size > bytes.size() - file.entry->offset) {
            error = {input.string(), "the data of \"" + file.path + "\" lies outside the archive"};
            return false;
        }
    }
    return true;
}

bool IsSafePiece(const std::string& piece) {
    return !piece.empty() && piece != "." && piece != ".." &&
           piece.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

// Every stored name must stay a plain name below the folder, and no two files may land on the
// same place (or a file where a folder goes).
bool CheckExtractable(const fs::path& input, const std::vector<tStoredFile>& files, ToolError& error) {
    std::set<std::string> filePaths;
    std::set<std::string> folderPaths;
    for (const tStoredFile& file : files) {
        std::string prefix;
        for (std::size_t i = 0; i < file.pieces.size(); ++i) {
            if (!IsSafePiece(file.pieces[i])) {
                error = {input.string(), "the stored name \"" + file.path + "\" would escape the folder"};
                return false;
            }
            prefix += (i ? "/" : "") + file.pieces[i];
            if (i + 1 < file.pieces.size()) {
                folderPaths.insert(prefix);
            }
        }
        if (!filePaths.insert(prefix).second) {
            error = {input.string(), "the file \"" + file.path + "\" is stored twice"};
            return false;
        }
    }
    for (const std::string& folder : folderPaths) {
        if (filePaths.count(folder)) {
            error = {input.string(), "\"" + folder + "\" is stored both as a file and as a folder"};
            return false;
        }
    }
    return true;
}

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); });
    return text;
}

// The engine finds stored names without regard to case, so of two names that differ only in
// case (a folder or a file) it could reach one at most.
bool CheckDistinctWithoutCase(const fs::path& folder, const std::vector<fs::path>& relativePaths,
                              ToolError& error) {
    std::map<std::string, std::string> byLowerCase;
    for (const fs::path& relative : relativePaths) {
        fs::path prefix;
        for (const fs::path& piece : relative) {
            prefix /= piece;
            const std::string name = prefix.generic_string();
            const auto [known, added] = byLowerCase.emplace(LowerCase(name), name);
            if (!added && known->second != name) {
                error = {folder.string(), "\"" + known->second + "\" and \"" + name +
                                              "\" differ only in case; the engine could reach only one"};
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool PackGroupFile(const fs::path& folder, const fs::path& output, ToolError& error) {
    std::error_code code;
    if (!fs::is_directory(folder, code)) {
        error = {folder.string(), "not a folder"};
        return false;
    }
    std::vector<fs::path> relativePaths;
    for (auto it = fs::recursive_directory_iterator(folder, code);
         !code && it != fs::recursive_directory_iterator(); it.increment(code)) {
        std::error_code unrelated;  // an output that does not exist yet is no error
        if (it->is_regular_file() && !fs::equivalent(it->path(), output, unrelated)) {
            relativePaths.push_back(it->path().lexically_relative(folder));
        }
    }
    if (code) {
        error = {folder.string(), "cannot be read: " + code.message()};
        return false;
    }
    std::sort(relativePaths.begin(), relativePaths.end());
    if (!CheckDistinctWithoutCase(folder, relativePaths, error)) {
        return false;
    }
    tGroupArchiveFolder root;
    for (const fs::path& relative : relativePaths) {
        std::vector<std::uint8_t> bytes;
        if (!ReadHostFile(folder / relative, bytes, error)) {
            return false;
        }
        AddGroupArchiveFile(root, relative.generic_string(), std::move(bytes));
    }
    std::vector<std::uint8_t> archive;
    std::string problem;
    if (!WriteGroupArchive(root, archive, problem)) {
        error = {folder.string(), problem};
        return false;
    }
    return WriteHostFile(output, archive, error);
}

bool ListGroupFile(const fs::path& input, std::ostream& out, ToolError& error) {
    std::vector<std::uint8_t> bytes;
    tGroupArchiveFolder root;
    std::vector<tStoredFile> files;
    if (!ReadArchive(input, bytes, root, files, error)) {
        return false;
    }
    for (const tStoredFile& file : files) {
        out << file.path << '\t' << file.entry->offset << '\t' << file.entry->size << '\n';
    }
    return true;
}

bool ExtractGroupFile(const fs::path& input, const fs::path& folder, ToolError& error) {
    std::vector<std::uint8_t> bytes;
    tGroupArchiveFolder root;
    std::vector<tStoredFile> files;
    if (!ReadArchive(input, bytes, root, files, error) || !CheckExtractable(input, files, error)) {
        return false;
    }
    for (const tStoredFile& file : files) {
        fs::path target = folder;
        for (const std::string& piece : file.pieces) {
            target /= piece;
        }
        std::error_code code;
        fs::create_directories(target.parent_path(), code);
        const auto begin = bytes.begin() + file.entry->offset;
        if (code ||
            !WriteHostFile(target, std::vector<std::uint8_t>(begin, begin + file.entry->size), error)) {
            error = {target.string(), "cannot be written"};
            return false;
        }
    }
    return true;
}

}  // namespace zumbo::tools
