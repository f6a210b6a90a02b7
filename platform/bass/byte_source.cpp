#include "platform/bass/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace bass {

std::unique_ptr<ByteSource> ByteSource::OpenFileRange(const std::filesystem::path& path, std::uint64_t offset,
                                                      std::uint64_t length) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    if (offset > fileSize || (length != 0 && length > fileSize - offset)) {
        ::close(descriptor);
        return nullptr;
    }
    std::unique_ptr<ByteSource> source(new ByteSource);
    source->m_descriptor = descriptor;
    source->m_offset = offset;
    source->m_length = length != 0 ? length : fileSize - offset;
    return source;
}

std::unique_ptr<ByteSource> ByteSource::CopyOfMemory(const void* bytes, std::size_t size) {
    std::unique_ptr<ByteSource> source(new ByteSource);
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    source->m_memory.assign(first, first + (bytes ? size : 0));
    source->m_length = source->m_memory.size();
    return source;
}

ByteSource::~ByteSource() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

std::int64_t ByteSource::Seek(std::int64_t offset, int whence) {
    std::int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = Tell();
    } else if (whence == SEEK_END) {
        base = Length();
    } else if (whence != SEEK_SET) {
        return -1;
    }
    // Both are far below the overflow limit: lengths come from a file size or a vector.
    if ((offset < 0 && -offset > base) || (offset > 0 && offset > Length() - base)) {
        return -1;
    }
    m_position = static_cast<std::uint64_t>(base + offset);
    return Tell();
}

std::int64_t ByteSource::Read(void* out, std::int64_t count) {
    if (count <= 0 || !out) {
        return 0;
    }
    const std::uint64_t wanted =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(count), m_length - m_position);
    if (m_descriptor < 0) {
        std::memcpy(out, m_memory.data() + m_position, wanted);
        m_position += wanted;
        return static_cast<std::int64_t>(wanted);
    }
    std::uint64_t done = 0;
    while (done < wanted) {
        const ssize_t got = ::pread(m_descriptor, static_cast<std::uint8_t*>(out) + done, wanted - done,
                                    static_cast<off_t>(m_offset + m_position + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::uint64_t>(got);
    }
    m_position += done;
    return static_cast<std::int64_t>(done);
}

}  // namespace bass
