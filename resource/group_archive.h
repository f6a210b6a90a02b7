#pragma once
// The on-disk form of the group file: a version word, a tree of directory records, then the
// file data wherever the records' offsets point. Integers are 32-bit little-endian.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

constexpr std::uint32_t kGroupArchiveVersion = 1;
constexpr std::size_t kMaxGroupNameLength = 259;
// Deeper trees than any data set needs are treated as damage, which bounds the recursion.
constexpr int kMaxGroupFolderDepth = 64;

struct tGroupArchiveEntry {
    std::string name;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    std::vector<std::uint8_t> data;  // only when writing an archive
};

struct tGroupArchiveFolder {
    std::string name;
    std::vector<tGroupArchiveEntry> files;
    std::vector<tGroupArchiveFolder> folders;
};

// Archive bytes fetched by range, so that the directory of a large archive is read without
// loading the file data. Every read is checked against the length.
class CGroupArchiveSource {
public:
    using Fetch =
        std::function<bool(std::uint64_t offset, std::uint64_t size, std::vector<std::uint8_t>& out)>;

    CGroupArchiveSource(std::uint64_t length, Fetch fetch) : m_length(length), m_fetch(std::move(fetch)) {}
    static CGroupArchiveSource FromMemory(std::span<const std::uint8_t> bytes);
    static CGroupArchiveSource FromFile(std::string windowsPath, std::uint64_t length);

    bool ReadWord(std::uint32_t& value);
    bool ReadText(std::uint32_t length, std::string& text);
    std::uint64_t Remaining() const { return m_length - m_position; }
    std::uint64_t Length() const { return m_length; }

private:
    bool Read(std::uint8_t* destination, std::uint64_t size);

    std::uint64_t m_length;
    Fetch m_fetch;
    std::vector<std::uint8_t> m_window;
    std::uint64_t m_windowStart = 0;
    std::uint64_t m_position = 0;
};

enum class eGroupArchiveStatus { Ok, WrongVersion, Damaged };

// Receives the directory as it is read: a folder, its files, then its subfolders, each entered
// and left in turn. Names are views that last until the next call. A damaged directory stops
// the walk wherever it is, so a receiver keeps what it built only when the read succeeds.
class IGroupArchiveVisitor {
public:
    virtual ~IGroupArchiveVisitor() = default;
    virtual void EnterFolder(std::string_view name) = 0;
    virtual void AddFile(std::string_view name, std::uint32_t offset, std::uint32_t size) = 0;
    virtual void LeaveFolder() = 0;
};

// Reads the version and walks the directory tree. version receives the word read.
eGroupArchiveStatus ReadGroupArchive(CGroupArchiveSource& source, IGroupArchiveVisitor& visitor,
                                     std::uint32_t& version);
// The same, building the whole tree.
eGroupArchiveStatus ReadGroupArchive(CGroupArchiveSource& source, tGroupArchiveFolder& root,
                                     std::uint32_t& version);

// Adds a file under a relative path ('/' or '\\' separated), creating its folders in the tree.
void AddGroupArchiveFile(tGroupArchiveFolder& root, std::string_view relativePath,
                         std::vector<std::uint8_t> data);

// Lays out the directory, then every file's data in directory order. Fails (with a reason) on
// names over the length limit or an archive beyond 4 GiB.
bool WriteGroupArchive(const tGroupArchiveFolder& root, std::vector<std::uint8_t>& out, std::string& problem);
