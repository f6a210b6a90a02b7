#include "scr/host_registry.h"

#include <vector>

namespace host_registry {

namespace {

constexpr DWORD kMaxStringBytes = 260;

// An open key that closes itself.
class OpenKey {
public:
    OpenKey(HKEY root, std::string_view subKey) {
        if (win32::RegCreateKeyEx(root, subKey, &m_key) != ERROR_SUCCESS) {
            m_key = nullptr;
        }
    }
    ~OpenKey() {
        if (m_key) {
            win32::RegCloseKey(m_key);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

}  // namespace

std::optional<std::string> ReadString(HKEY root, std::string_view subKey, std::string_view name) {
    const OpenKey key(root, subKey);
    if (!key.Get()) {
        return std::nullopt;
    }
    std::vector<BYTE> data(kMaxStringBytes);
    DWORD type = 0;
    DWORD size = kMaxStringBytes;
    if (win32::RegQueryValueEx(key.Get(), name, &type, data.data(), &size) != ERROR_SUCCESS ||
        type != win32::REG_SZ) {
        return std::nullopt;
    }
    std::string text(reinterpret_cast<const char*>(data.data()), size);
    const std::size_t end = text.find('\0');
    return end == std::string::npos ? text : text.substr(0, end);
}

bool WriteString(HKEY root, std::string_view subKey, std::string_view name, std::string_view text) {
    const OpenKey key(root, subKey);
    return key.Get() && win32::RegWriteString(key.Get(), name, text);
}

std::optional<DWORD> ReadDword(HKEY root, std::string_view subKey, std::string_view name) {
    const OpenKey key(root, subKey);
    BYTE data[4] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    if (!key.Get() || win32::RegQueryValueEx(key.Get(), name, &type, data, &size) != ERROR_SUCCESS ||
        type != win32::REG_DWORD || size != sizeof data) {
        return std::nullopt;
    }
    return DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
}

bool WriteDword(HKEY root, std::string_view subKey, std::string_view name, DWORD value) {
    const OpenKey key(root, subKey);
    return key.Get() && win32::RegWriteDword(key.Get(), name, value);
}

}  // namespace host_registry
