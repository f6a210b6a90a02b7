#include "resource/group_file.h"

#include <algorithm>
#include <array>

#include "app/debug_log.h"
#include "platform/win32/files.h"
#include "resource/group_archive.h"
#include "resource/name_atom.h"
#include "resource/normalized_path_reader.h"
#include "resource/paths.h"

namespace {
// Builds the directory tree in place as the records are read.
class CDirectoryBuilder : public IGroupArchiveVisitor {
public:
    CDirectoryBuilder(tGroupDirectory& root, CGroupNameStore& names) : m_root(root), m_names(names) {}

    void EnterFolder(std::string_view name) override {
        tGroupDirectory* directory = &m_root;
        if (!m_open.empty()) {
            directory = new tGroupDirectory;
            m_open.back()->AddChild(directory);
        }
        directory->name = m_names.Add(name);
        m_open.push_back(directory);
    }
    void AddFile(std::string_view name, std::uint32_t offset, std::uint32_t size) override {
        m_open.back()->files.push_back({m_names.Add(name), offset, size});
    }
    void LeaveFolder() override { m_open.pop_back(); }

private:
    tGroupDirectory& m_root;
    CGroupNameStore& m_names;
    std::vector<tGroupDirectory*> m_open;
};

bool HasXExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    return dot != std::string_view::npos && EqualsIgnoringCase(name.substr(dot), ".x");
}

void CollectXFiles(const tGroupDirectory& directory, const std::string& folderPath, bool recursive,
                   std::vector<std::string>& out) {
    for (const tFileEntry& entry : directory.files) {
        if (HasXExtension(entry.name->Text())) {
            out.push_back(folderPath + "\\" + std::string(entry.name->Text()));
        }
    }
    if (!recursive) {
        return;
    }
    for (const tGroupDirectory* child = directory.FirstChild(); child; child = child->NextSibling()) {
        CollectXFiles(*child, folderPath + "\\" + std::string(child->name->Text()), recursive, out);
    }
}

template <class T>
void SortByNameHash(std::vector<const T*>& items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const T* a, const T* b) { return a->name->Hash() < b->name->Hash(); });
}

template <class T>
const T* FindFirstNamed(const std::vector<const T*>& byHash, std::string_view text) {
    const std::uint32_t hash = NameAtom::HashOf(text);
    auto item = std::lower_bound(
        byHash.begin(), byHash.end(), hash,
        [](const T* candidate, std::uint32_t wanted) { return candidate->name->Hash() < wanted; });
    for (; item != byHash.end() && (*item)->name->Hash() == hash; ++item) {
        if ((*item)->name->Text() == text) {
            return *item;
        }
    }
    return nullptr;
}
}  // namespace

const tGroupDirectory* tGroupDirectory::FindDirectory(std::string_view normalizedName) const {
    return FindFirstNamed(m_childrenByHash, normalizedName);
}

const tFileEntry* tGroupDirectory::FindFile(std::string_view normalizedName) const {
    return FindFirstNamed(m_filesByHash, normalizedName);
}

void tGroupDirectory::BuildIndexes() {
    ClearIndexes();
    m_filesByHash.reserve(files.size());
    for (const tFileEntry& entry : files) {
        m_filesByHash.push_back(&entry);
    }
    SortByNameHash(m_filesByHash);
    for (tGroupDirectory* child = FirstChild(); child; child = child->NextSibling()) {
        m_childrenByHash.push_back(child);
        child->BuildIndexes();
    }
    SortByNameHash(m_childrenByHash);
}

void tGroupDirectory::ClearIndexes() {
    m_filesByHash.clear();
    m_childrenByHash.clear();
}

bool CGroupFile::Open(std::string_view name) {
    Close();
    m_path = MakeFullPath(name);
    const auto length = win32::GetFileSize(m_path);
    if (!length) {
        CDebugLog::Instance().LogLevel(1, "Failed to open group file %s.", m_path.c_str());
        return false;
    }
    m_normalizedProgramFolder = NormalizedPath(GetProgramFolder());
    CGroupArchiveSource source = CGroupArchiveSource::FromFile(m_path, *length);
    CDirectoryBuilder builder(*this, m_names);
    std::uint32_t version = 0;
    const eGroupArchiveStatus status = ReadGroupArchive(source, builder, version);
    if (status == eGroupArchiveStatus::WrongVersion) {
        CDebugLog::Instance().LogLevel(1, "Wrong version of the group file %u. Must be %u.", version,
                                       kGroupArchiveVersion);
    }
    if (status != eGroupArchiveStatus::Ok) {
        Close();
        return false;
    }
    BuildIndexes();
    m_length = *length;
    m_open = true;
    return true;
}

void CGroupFile::Close() {
    while (tGroupDirectory* child = FirstChild()) {
        RemoveChild(child);
        delete child;
    }
    name = &kNoGroupName;
    files.clear();
    ClearIndexes();
    m_names.Clear();
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
    CNormalizedPathReader path({fullPath});
    char c = 0;
    for (const char expected : m_normalizedProgramFolder) {
        if (!path.Next(c) || c != expected) {
            return nullptr;
        }
    }
    // Every piece but the last names a directory; a piece longer than any stored name finds nothing.
    std::array<char, kMaxGroupNameLength> piece;
    std::size_t length = 0;
    bool pieceEnded = false;
    const tGroupDirectory* directory = this;
    while (path.Next(c)) {
        if (c == '\\') {
            pieceEnded = length > 0;
            continue;
        }
        if (pieceEnded) {
            directory = directory->FindDirectory({piece.data(), length});
            if (!directory) {
                return nullptr;
            }
            length = 0;
            pieceEnded = false;
        }
        if (length == piece.size()) {
            return nullptr;
        }
        piece[length++] = c;
    }
    return length > 0 ? directory->FindFile({piece.data(), length}) : nullptr;
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
