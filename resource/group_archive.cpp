#include "resource/group_archive.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/files.h"
#include "resource/paths.h"

namespace {
constexpr std::uint64_t kFetchChunk = 64 * 1024;
// The smallest file or directory record: three words (a name length and two numbers, or a
// name length and two counts).
constexpr std::uint64_t kSmallestRecord = 12;

bool ReadName(CGroupArchiveSource& source, std::string& name) {
    std::uint32_t length = 0;
    return source.ReadWord(length) && length <= kMaxGroupNameLength && source.ReadText(length, name);
}

// A count is plausible only when that many of the smallest records still fit in the file.
bool ReadCount(CGroupArchiveSource& source, std::uint32_t& count) {
    return source.ReadWord(count) && count <= source.Remaining() / kSmallestRecord;
}

// Walks the records with one name buffer, so a large directory costs no allocation per entry.
class CDirectoryWalker {
public:
    CDirectoryWalker(CGroupArchiveSource& source, IGroupArchiveVisitor& visitor)
        : m_source(source), m_visitor(visitor) {}

    bool ReadFolder(int depth) {
        if (depth > kMaxGroupFolderDepth || !ReadName(m_source, m_name)) {
            return false;
        }
        m_visitor.EnterFolder(m_name);
        std::uint32_t fileCount = 0;
        if (!ReadCount(m_source, fileCount)) {
            return false;
        }
        for (std::uint32_t i = 0; i < fileCount; ++i) {
            std::uint32_t offset = 0;
            std::uint32_t size = 0;
            if (!ReadName(m_source, m_name) || !m_source.ReadWord(offset) || !m_source.ReadWord(size)) {
                return false;
            }
            m_visitor.AddFile(m_name, offset, size);
        }
        std::uint32_t folderCount = 0;
        if (!ReadCount(m_source, folderCount)) {
            return false;
        }
        for (std::uint32_t i = 0; i < folderCount; ++i) {
            if (!ReadFolder(depth + 1)) {
                return false;
            }
        }
        m_visitor.LeaveFolder();
        return true;
    }

private:
    CGroupArchiveSource& m_source;
    IGroupArchiveVisitor& m_visitor;
    std::string m_name;
};

// Grows the tree by what is actually read, so memory follows the bytes rather than the counts.
class CFolderTreeBuilder : public IGroupArchiveVisitor {
public:
    explicit CFolderTreeBuilder(tGroupArchiveFolder& root) : m_root(root) {}

    void EnterFolder(std::string_view name) override {
        tGroupArchiveFolder* folder = m_open.empty() ? &m_root : &m_open.back()->folders.emplace_back();
        folder->name = name;
        m_open.push_back(folder);
    }
    void AddFile(std::string_view name, std::uint32_t offset, std::uint32_t size) override {
        tGroupArchiveEntry& entry = m_open.back()->files.emplace_back();
        entry.name = name;
        entry.offset = offset;
        entry.size = size;
    }
    void LeaveFolder() override { m_open.pop_back(); }

private:
    tGroupArchiveFolder& m_root;
    std::vector<tGroupArchiveFolder*> m_open;
};

void AppendWord(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void AppendName(std::vector<std::uint8_t>& out, const std::string& name) {
    AppendWord(out, static_cast<std::uint32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
}

class CArchiveWriter {
public:
    bool Write(const tGroupArchiveFolder& root, std::vector<std::uint8_t>& out, std::string& problem) {
        if (!Measure(root, 0, problem)) {
            return false;
        }
        if (4 + m_directorySize + m_dataSize > UINT32_MAX) {
            problem = "the archive would exceed 4 GiB";
            return false;
        }
        m_dataStart = 4 + m_directorySize;
        out.clear();
        out.reserve(m_dataStart + m_dataSize);
        AppendWord(out, kGroupArchiveVersion);
        WriteFolder(root, out);
        for (const tGroupArchiveEntry* entry : m_order) {
            out.insert(out.end(), entry->data.begin(), entry->data.end());
        }
        return true;
    }

private:
    bool CheckName(const std::string& name, std::string& problem) {
        if (name.size() <= kMaxGroupNameLength) {
            return true;
        }
        problem = "the name \"" + name + "\" is longer than 259 bytes";
        return false;
    }

    bool Measure(const tGroupArchiveFolder& folder, int depth, std::string& problem) {
        if (depth > kMaxGroupFolderDepth) {
            problem = "folders nest deeper than " + std::to_string(kMaxGroupFolderDepth) + " levels";
            return false;
        }
        if (!CheckName(folder.name, problem)) {
            return false;
        }
        m_directorySize += 12 + folder.name.size();
        for (const tGroupArchiveEntry& entry : folder.files) {
            if (!CheckName(entry.name, problem)) {
                return false;
            }
            m_directorySize += 12 + entry.name.size();
            m_dataSize += entry.data.size();
        }
        return std::all_of(
            folder.folders.begin(), folder.folders.end(),
            [&](const tGroupArchiveFolder& child) { return Measure(child, depth + 1, problem); });
    }

    void WriteFolder(const tGroupArchiveFolder& folder, std::vector<std::uint8_t>& out) {
        AppendName(out, folder.name);
        AppendWord(out, static_cast<std::uint32_t>(folder.files.size()));
        for (const tGroupArchiveEntry& entry : folder.files) {
            AppendName(out, entry.name);
            AppendWord(out, static_cast<std::uint32_t>(m_dataStart + m_dataWritten));
            AppendWord(out, static_cast<std::uint32_t>(entry.data.size()));
            m_dataWritten += entry.data.size();
            m_order.push_back(&entry);
        }
        AppendWord(out, static_cast<std::uint32_t>(folder.folders.size()));
        for (const tGroupArchiveFolder& child : folder.folders) {
            WriteFolder(child, out);
        }
    }

    std::uint64_t m_directorySize = 0;
    std::uint64_t m_dataSize = 0;
    std::uint64_t m_dataStart = 0;
    std::uint64_t m_dataWritten = 0;
    std::vector<const tGroupArchiveEntry*> m_order;
};
}  // namespace

CGroupArchiveSource CGroupArchiveSource::FromMemory(std::span<const std::uint8_t> bytes) {
    return CGroupArchiveSource(
        bytes.size(), [bytes](std::uint64_t offset, std::uint64_t size, std::vector<std::uint8_t>& out) {
            out.assign(bytes.begin() + offset, bytes.begin() + offset + size);
            return true;
        });
}

CGroupArchiveSource CGroupArchiveSource::FromFile(std::string windowsPath, std::uint64_t length) {
    return CGroupArchiveSource(length,
                               [path = std::move(windowsPath)](std::uint64_t offset, std::uint64_t size,
                                                               std::vector<std::uint8_t>& out) {
                                   return win32::ReadFileRange(path, offset, size, out);
                               });
}

bool CGroupArchiveSource::ReadWord(std::uint32_t& value) {
    std::uint8_t bytes[4];
    if (!Read(bytes, sizeof bytes)) {
        return false;
    }
    value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t(bytes[3]) << 24);
    return true;
}

bool CGroupArchiveSource::ReadText(std::uint32_t length, std::string& text) {
    text.resize(length);
    return Read(reinterpret_cast<std::uint8_t*>(text.data()), length);
}

bool CGroupArchiveSource::Read(std::uint8_t* destination, std::uint64_t size) {
    if (size > Remaining()) {
        return false;
    }
    while (size > 0) {
        const std::uint64_t windowEnd = m_windowStart + m_window.size();
        if (m_position < m_windowStart || m_position >= windowEnd) {
            m_windowStart = m_position;
            if (!m_fetch(m_position, std::min(kFetchChunk, Remaining()), m_window) || m_window.empty()) {
                return false;
            }
            continue;
        }
        const std::uint64_t count = std::min(size, windowEnd - m_position);
        std::memcpy(destination, m_window.data() + (m_position - m_windowStart), count);
        destination += count;
        size -= count;
        m_position += count;
    }
    return true;
}

eGroupArchiveStatus ReadGroupArchive(CGroupArchiveSource& source, IGroupArchiveVisitor& visitor,
                                     std::uint32_t& version) {
    version = 0;
    if (!source.ReadWord(version)) {
        return eGroupArchiveStatus::Damaged;
    }
    if (version != kGroupArchiveVersion) {
        return eGroupArchiveStatus::WrongVersion;
    }
    CDirectoryWalker walker(source, visitor);
    return walker.ReadFolder(0) ? eGroupArchiveStatus::Ok : eGroupArchiveStatus::Damaged;
}

eGroupArchiveStatus ReadGroupArchive(CGroupArchiveSource& source, tGroupArchiveFolder& root,
                                     std::uint32_t& version) {
    CFolderTreeBuilder builder(root);
    return ReadGroupArchive(source, builder, version);
}

bool WriteGroupArchive(const tGroupArchiveFolder& root, std::vector<std::uint8_t>& out,
                       std::string& problem) {
    return CArchiveWriter().Write(root, out, problem);
}

void AddGroupArchiveFile(tGroupArchiveFolder& root, std::string_view relativePath,
                         std::vector<std::uint8_t> data) {
    std::vector<std::string_view> pieces = SplitPath(relativePath);
    if (pieces.empty()) {
        return;
    }
    tGroupArchiveFolder* folder = &root;
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        auto existing =
            std::find_if(folder->folders.begin(), folder->folders.end(),
                         [&](const tGroupArchiveFolder& child) { return child.name == pieces[i]; });
        if (existing == folder->folders.end()) {
            existing = folder->folders.insert(folder->folders.end(),
                                              tGroupArchiveFolder{std::string(pieces[i]), {}, {}});
        }
        folder = &*existing;
    }
    tGroupArchiveEntry entry;
    entry.name = std::string(pieces.back());
    entry.size = static_cast<std::uint32_t>(data.size());
    entry.data = std::move(data);
    folder->files.push_back(std::move(entry));
}
