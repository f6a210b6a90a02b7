#include "resource/paths.h"

#include <cctype>

#include "platform/win32/files.h"

std::string GetProgramFolder() {
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
    std::size_t start = (!path.empty() && path[0] == '\\') ? 1 : 0;
    for (std::size_t i = start; i < path.size(); ++i) {
        char c = path[i] == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(path[i])));
        if (c == '\\' && !result.empty() && result.back() == '\\') {
            continue;
        }
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
