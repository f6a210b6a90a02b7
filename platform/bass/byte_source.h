#pragma once
// The bytes an audio file is decoded from: a range of a file on disk (a packed entry of the
// group file, read in place) or a private copy of a memory block. Reads never leave the range.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace bass {

class ByteSource {
public:
    // length 0 means up to the end of the file; null when the file cannot be opened or the
    // range does not lie within it.
    static std::unique_ptr<ByteSource> OpenFileRange(const std::filesystem::path& path, std::uint64_t offset,
                                                     std::uint64_t length);
    static std::unique_ptr<ByteSource> CopyOfMemory(const void* bytes, std::size_t size);

    ~ByteSource();
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    std::int64_t Length() const { return static_cast<std::int64_t>(m_length); }
    std::int64_t Tell() const { return static_cast<std::int64_t>(m_position); }
    // whence as for lseek; the position stays within 0 .. Length. Returns the new position or
    // -1 when the target lies outside.
    std::int64_t Seek(std::int64_t offset, int whence);
    // Short at the end of the range, or when the file shrank under us.
    std::int64_t Read(void* out, std::int64_t count);

private:
    ByteSource() = default;

    int m_descriptor = -1;  // -1 for memory
    std::uint64_t m_offset = 0;
    std::uint64_t m_length = 0;
    std::uint64_t m_position = 0;
    std::vector<std::uint8_t> m_memory;
};

}  // namespace bass
