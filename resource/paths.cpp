#include "resource/paths.h"

#include <algorithm>

#include "platform/win32/files.h"
#include "resource/normalized_path_reader.h"

const std::string& GetProgramFolder() {
    static const std::string folder = [] {
        const std::string module = win32::GetModuleFileName();
        const auto slash = module.rfind('\\');
        return slash == std::string::npos ? std::string() : module.substr(0, slash + 1);
    }();
    return folder;
}

std::string MakeFullPath(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') {
        return std::string(path);
    }
    return GetProgramFolder() + "\\" + std::string(path);
}

void NormalizePath(std::string& path) {
    std::string result;
    result.reserve(path.size());
    CNormalizedPathReader reader({path});
    for (char c = 0; reader.Next(c);) {
        result.push_back(c);
    }
    path = std::move(result);
}

std::string NormalizedPath(std::string_view path) {
    std::string result(path);
    NormalizePath(result);
    return result;
}

bool FileExists(std::string_view path) {
    if (path.size() == 2 && path[1] == ':') {
        return true;
    }
    if (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return !win32::FindFiles(path).empty();
}

std::vector<std::string_view> SplitAtAny(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of(separators, start), text.size());
        if (end > start) {
            pieces.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return pieces;
}

std::vector<std::string_view> SplitPath(std::string_view path) {
    return SplitAtAny(path, "\\/");
}

std::string ResolvePath(std::string_view fileName, std::string_view documentSourcePath) {
    if (fileName.size() >= 2 && fileName[1] == ':') {
        return std::string(fileName);
    }
    std::vector<std::string_view> pieces = SplitPath(fileName);
    auto piece = pieces.begin();
    const std::string programFolder = GetProgramFolder();
    std::string_view baseFolder;
    if (piece != pieces.end() && *piece == ".") {
        ++piece;
        baseFolder = programFolder;
    } else {
        baseFolder = documentSourcePath.substr(0, documentSourcePath.find_last_of("\\/") + 1);
    }
    std::vector<std::string_view> base = SplitPath(baseFolder);
    for (; piece != pieces.end() && *piece == ".."; ++piece) {
        if (base.size() >= 2) {
            base.pop_back();
        }
    }
    base.insert(base.end(), piece, pieces.end());
    std::string result;
    for (const std::string_view part : base) {
        if (!result.empty()) {
            result += '\\';
        }
        result += part;
    }
    return result;
}
