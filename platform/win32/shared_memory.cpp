// Named shared memory through POSIX shared-memory objects.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/win32/file_descriptor.h"
#include "platform/win32/kernel_object.h"
#include "platform/win32/process.h"

namespace win32 {

namespace {

constexpr std::size_t kMaxNameLength = 200;

class MappingObject : public KernelObject {
public:
    MappingObject(int fd, std::string createdName) : m_fd(fd), m_createdName(std::move(createdName)) {}
    // The creator's handle takes the name with it; mapped views stay valid.
    ~MappingObject() override {
        if (!m_createdName.empty()) {
            ::shm_unlink(m_createdName.c_str());
        }
    }
    int Fd() const { return m_fd.Get(); }

private:
    FileDescriptor m_fd;
    std::string m_createdName;
};

// Every mapped view with its length, which unmapping needs.
class ViewTable {
public:
    void Add(void* view, std::size_t size) {
        std::lock_guard lock(m_mutex);
        m_views[view] = size;
    }
    std::optional<std::size_t> Remove(void* view) {
        std::lock_guard lock(m_mutex);
        const auto found = m_views.find(view);
        if (found == m_views.end()) {
            return std::nullopt;
        }
        const std::size_t size = found->second;
        m_views.erase(found);
        return size;
    }

private:
    std::mutex m_mutex;
    std::map<void*, std::size_t> m_views;
};

ViewTable& Views() {
    static ViewTable views;
    return views;
}

// A POSIX name ("/zumbo-...", no further slashes) for any Windows object name; long
// names are cut and keep a hash of the whole so they stay distinct.
std::string SharedMemoryName(std::string_view name) {
    std::string posix = "/zumbo-";
    for (char c : name.substr(0, kMaxNameLength)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '-' || c == '_';
        posix += plain ? c : '_';
    }
    if (name.size() > kMaxNameLength) {
        char hash[20];
        std::snprintf(hash, sizeof hash, "-%016zx", std::hash<std::string_view>{}(name));
        posix += hash;
    }
    return posix;
}

std::optional<std::size_t> SizeOf(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(info.st_size);
}

// An existing object keeps its size, unless its creator has not sized it yet.
bool EnsureSize(int fd, std::size_t size) {
    const auto current = SizeOf(fd);
    return current && (*current > 0 || ::ftruncate(fd, static_cast<off_t>(size)) == 0);
}

}  // namespace

HANDLE CreateFileMapping(std::string_view name, std::size_t size) {
    if (size == 0) {
        return nullptr;
    }
    if (name.empty()) {
        auto mapping =
            std::make_unique<MappingObject>(::memfd_create("zumbo-mapping", MFD_CLOEXEC), std::string());
        const bool sized = mapping->Fd() >= 0 && ::ftruncate(mapping->Fd(), static_cast<off_t>(size)) == 0;
        return sized ? AddHandle(std::move(mapping)) : nullptr;
    }
    const std::string posixName = SharedMemoryName(name);
    int fd = ::shm_open(posixName.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    const bool created = fd >= 0;
    if (!created) {
        fd = ::shm_open(posixName.c_str(), O_RDWR, 0600);
    }
    if (fd < 0) {
        return nullptr;
    }
    auto mapping = std::make_unique<MappingObject>(fd, created ? posixName : std::string());
    return EnsureSize(fd, size) ? AddHandle(std::move(mapping)) : nullptr;
}

HANDLE OpenFileMapping(std::string_view name) {
    const int fd = ::shm_open(SharedMemoryName(name).c_str(), O_RDWR, 0600);
    return fd < 0 ? nullptr : AddHandle(std::make_unique<MappingObject>(fd, std::string()));
}

void* MapViewOfFile(HANDLE handle) {
    const auto* mapping = LookupHandleAs<MappingObject>(handle);
    const auto size = mapping ? SizeOf(mapping->Fd()) : std::nullopt;
    if (!size || *size == 0) {
        return nullptr;
    }
    void* view = ::mmap(nullptr, *size, PROT_READ | PROT_WRITE, MAP_SHARED, mapping->Fd(), 0);
    if (view == MAP_FAILED) {
        return nullptr;
    }
    Views().Add(view, *size);
    return view;
}

bool UnmapViewOfFile(void* view) {
    const auto size = Views().Remove(view);
    return size && ::munmap(view, *size) == 0;
}

}  // namespace win32
