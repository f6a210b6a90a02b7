#include "resource/group_file.h"

#include "app/debug_log.h"
#include "platform/win32/files.h"
#include "resource/group_archive.h"
#include "resource/paths.h"

namespace {
void BuildDirectory(const tGroupArchiveFolder& folder, tGroupDirectory& directory) {
    if (!folder.name.empty()) {
        directory.name = InternName(NormalizedPath(folder.name));
    }
    directory.files.reserve(folder.files.size());
    for (const tGroupArchiveEntry& entry : folder.files) {
        directory.files.push_back({InternName(NormalizedPath(entry.name)), entry.offset, entry.size});
    }
    for (const tGroupArchiveFolder& child : folder.folders) {
        auto* subdirectory = new tGroupDirectory;
        directory.AddChild(subdirectory);
        BuildDirectory(child, *subdirectory);
    }
}

bool HasXExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot != std::string_view::npos && EqualsIgnoringCase(name.substr(dot), ".x");
}

void CollectXFiles(const tGroupDirectory& directory, const std::string& folderPath, bool recursive,
                   std::vector<std::string>& out) {
    for (const tFileEntry& entry : directory.files) {
        if (HasXExtension(entry.name->Text())) {
            out.push_back(folderPath + "\\" + entry.name->Text());
        }
    }
    if (!recursive) {
        return;
    }
    for (const tGroupDirectory* child = directory.FirstChild(); child; child = child->NextSibling()) {
        CollectXFiles(*child, folderPath + "\\" + child->name->Text(), recursive, out);
    }
}

bool IsNamed(const NameAtom* name, std::string_view text, std::uint32_t hash) {
    return name->Hash() == hash && name->Text() == text;
}
}  // namespace

const tGroupDirectory* tGroupDirectory::FindDirectory(std::string_view normalizedName) const {
    const std::uint32_t hash = NameAtom::HashOf(normalizedName);
    for (const tGroupDirectory* child = FirstChild(); child; child = child->NextSibling()) {
        if (IsNamed(child->name, normalizedName, hash)) {
            return child;
        }
    }
    return nullptr;
}

const tFileEntry* tGroupDirectory::FindFile(std::string_view normalizedName) const {
    const std::uint32_t hash = NameAtom::HashOf(normalizedName);
    for (const tFileEntry& entry : files) {
        if (IsNamed(entry.name, normalizedName, hash)) {
            return &entry;
        }
    }
    return nullptr;
}

bool CGroupFile::Open(std::string_view name) {
    Close();
    m_path = MakeFullPath(name);
    const auto length = win32::GetFileSize(m_path);
    if (!length) {
        CDebugLog::Instance().LogLevel(1, "Failed to open group file %s.", m_path.c_str());
        return false;
    }
    CGroupArchiveSource source = CGroupArchiveSource::FromFile(m_path, *length);
    tGroupArchiveFolder root;
    std::uint32_t version = 0;
    const eGroupArchiveStatus status = ReadGroupArchive(source, root, version);
    if (status == eGroupArchiveStatus::WrongVersion) {
        CDebugLog::Instance().LogLevel(1, "Wrong version of the group file %u. Must be %u.", version,
                                       kGroupArchiveVersion);
    }
    if (status != eGroupArchiveStatus::Ok) {
        return false;
    }
    BuildDirectory(root, *this);
    m_length = *length;
    m_open = true;
    return true;
}

void CGroupFile::Close() {
    while (tGroupDirectory* child = FirstChild()) {
        RemoveChild(child);
        delete child;
    }
    name = EmptyName();
    files.clear();
    m_open = false;
    m_length = 0;
}

const tGroupDirectory* CGroupFile::WalkDirectories(const std::vector<std::string_view>& pieces) const {
    const tGroupDirectory* directory = this;
    for (const std::string_view piece : pieces) {
        directory = directory->FindDirectory(piece);
        if (!directory) {
            return nullptr;
        }
    }
    return directory;
}

const tFileEntry* CGroupFile::FindEntry(std::string_view fullPath) const {
    const std::string prefix = NormalizedPath(GetProgramFolder());
    const std::string path = NormalizedPath(fullPath);
    if (prefix.size() >= path.size() || path.compare(0, prefix.size(), prefix) != 0) {
        return nullptr;
    }
    std::vector<std::string_view> pieces = SplitPath(std::string_view(path).substr(prefix.size()));
    if (pieces.empty()) {
        return nullptr;
    }
    const std::string_view fileName = pieces.back();
    pieces.pop_back();
    const tGroupDirectory* directory = WalkDirectories(pieces);
    return directory ? directory->FindFile(fileName) : nullptr;
}

bool CGroupFile::ReadFile(std::string_view fullPath, std::vector<std::uint8_t>& out) const {
    out.clear();
    const tFileEntry* entry = m_open ? FindEntry(fullPath) : nullptr;
    if (!entry) {
        return false;
    }
    const std::string caller(fullPath);
    if (entry->offset > m_length) {
        CDebugLog::Instance().LogLevel(
            1, "Error in group file! Failed to seek to position %u for reading file %s!", entry->offset,
            caller.c_str());
        return false;
    }
    // An empty entry counts as an incomplete read; a range past the end is never allocated.
    if (entry->size == 0 || entry->size > m_length - entry->offset ||
        !win32::ReadFileRange(m_path, entry->offset, entry->size, out)) {
        CDebugLog::Instance().LogLevel(1,
                                       "Error in group file! Failed to read file %s! (Position %u, size %u).",
                                       caller.c_str(), entry->offset, entry->size);
        out.clear();
        return false;
    }
    return true;
}

bool CGroupFile::LocateFile(std::string_view fullPath, std::uint32_t& offset, std::uint32_t& size) const {
    const tFileEntry* entry = m_open ? FindEntry(fullPath) : nullptr;
    if (!entry) {
        return false;
    }
    offset = entry->offset;
    size = entry->size;
    return true;
}

void CGroupFile::EnumerateFiles(std::vector<std::string>& out, std::string_view folderPath,
                                std::string_view pattern, bool recursive) const {
    out.clear();
    const std::string programFolder = GetProgramFolder();
    if (!EqualsIgnoringCase(pattern, "*.x") || folderPath.size() < programFolder.size() ||
        folderPath.compare(0, programFolder.size(), programFolder) != 0) {
        return;
    }
    const std::string rest = NormalizedPath(folderPath.substr(programFolder.size()));
    const tGroupDirectory* directory = WalkDirectories(SplitPath(rest));
    if (directory) {
        CollectXFiles(*directory, std::string(folderPath), recursive, out);
    }
}
