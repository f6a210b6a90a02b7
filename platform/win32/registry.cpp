#include "platform/win32/registry.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/win32/file_descriptor.h"
#include "platform/win32/files.h"
#include "platform/win32/handle_table.h"
#include "platform/win32/registry_text.h"
#include "platform/win32/registry_tree.h"

namespace win32 {

namespace fs = std::filesystem;

namespace {

// Far above any real settings file; a larger one is treated as damaged.
constexpr std::uint64_t kMaxRegistryFileBytes = 64u << 20;

struct OpenKey {
    bool localMachine = false;
    std::vector<std::string> path;
};

// The process's open key handles; the two hives are predefined handles of their own.
// The lock also keeps this process's read-change-write passes apart.
class KeyHandles {
public:
    std::mutex& Lock() { return m_mutex; }

    std::optional<OpenKey> Lookup(HKEY key) {
        if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) {
            return OpenKey{key == HKEY_LOCAL_MACHINE, {}};
        }
        const OpenKey* open = m_open.Find(key);
        return open ? std::optional<OpenKey>(*open) : std::nullopt;
    }
    HKEY Add(OpenKey key) { return m_open.Add(std::make_unique<OpenKey>(std::move(key))); }
    bool Remove(HKEY key) { return m_open.Remove(key) != nullptr; }

private:
    std::mutex m_mutex;
    HandleTable<HKEY, OpenKey> m_open;
};

KeyHandles& Handles() {
    static KeyHandles handles;
    return handles;
}

fs::path RegistryFile() {
    const std::string configured = GetEnvironmentVariable("ZUMBO_REGISTRY");
    if (!configured.empty()) {
        return configured;
    }
    const fs::path xdg = GetEnvironmentVariable("XDG_CONFIG_HOME");
    const fs::path home = GetEnvironmentVariable("HOME");
    return (xdg.is_absolute() ? xdg : home / ".config") / "zumbo" / "registry.reg";
}

void Seed(RegistryTree& tree) {
    const std::string_view programFiles = "C:\\Program Files";
    tree.localMachine.Create({"SOFTWARE", "Microsoft", "Windows", "CurrentVersion"})
        .SetValue({"ProgramFilesDir", REG_SZ, std::vector<BYTE>(programFiles.begin(), programFiles.end())});
}

std::string_view AsText(const std::vector<std::uint8_t>& bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Renames a damaged file to the first free "<file>.bad-<n>"; never replaces anything.
std::optional<fs::path> MoveAside(const fs::path& file) {
    for (int n = 1; n < 10000; ++n) {
        fs::path aside = file;
        aside += ".bad-" + std::to_string(n);
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) {
            return aside;
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// Holds an exclusive lock on a folder while it lives, so that the programs sharing the
// registry file do not lose each other's changes between reading and writing it.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder)
        : m_folder(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (m_folder.Valid() && ::flock(m_folder.Get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }

private:
    FileDescriptor m_folder;
};

// The registry as the file holds it now; other processes may have changed it since the
// last call.
class LoadedRegistry {
public:
    LoadedRegistry() : m_file(RegistryFile()), m_lock(m_file.parent_path()) {
        std::error_code error;
        if (!fs::exists(m_file, error)) {
            Seed(m_tree);
            return;
        }
        const auto size = fs::file_size(m_file, error);
        std::vector<std::uint8_t> bytes;
        if (!error && size > kMaxRegistryFileBytes) {
            RecoverFromDamage("it is too large");
        } else if (!ReadHostFile(m_file, bytes, kMaxRegistryFileBytes)) {
            // Unreadable is not damaged: keep the file and refuse to replace it.
            std::fprintf(stderr, "registry: %s cannot be read; changes are refused\n", m_file.c_str());
            Seed(m_tree);
            m_writable = false;
        } else if (std::string reason; !ParseRegistryText(AsText(bytes), m_tree, reason)) {
            RecoverFromDamage(reason);
        }
    }

    RegistryKey* Find(const OpenKey& key) { return Hive(key).Find(key.path); }
    RegistryKey& Hive(const OpenKey& key) {
        return key.localMachine ? m_tree.localMachine : m_tree.currentUser;
    }

    bool Save() {
        if (!m_writable) {
            return false;
        }
        std::error_code error;
        fs::create_directories(m_file.parent_path(), error);
        const std::string text = FormatRegistryText(m_tree);
        return WriteHostFileAtomic(
            m_file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }

private:
    void RecoverFromDamage(const std::string& reason) {
        m_tree = RegistryTree();
        Seed(m_tree);
        const auto aside = MoveAside(m_file);
        m_writable = aside.has_value();
        if (aside) {
            std::fprintf(stderr,
                         "registry: %s is damaged (%s); it is kept as %s and an empty registry is used\n",
                         m_file.c_str(), reason.c_str(), aside->c_str());
        } else {
            std::fprintf(stderr,
                         "registry: %s is damaged (%s) and cannot be moved aside (%s); changes are refused\n",
                         m_file.c_str(), reason.c_str(), std::strerror(errno));
        }
    }

    fs::path m_file;
    FolderLock m_lock;
    RegistryTree m_tree;
    bool m_writable = true;
};

// The key named by a handle and a sub-key path below it.
std::optional<OpenKey> Resolve(HKEY parent, std::string_view subKey) {
    auto key = Handles().Lookup(parent);
    const auto pieces = SplitKeyPath(subKey);
    if (!key || !pieces || key->path.size() + pieces->size() > kMaxKeyDepth) {
        return std::nullopt;
    }
    key->path.insert(key->path.end(), pieces->begin(), pieces->end());
    return key;
}

LONG OpenOrCreate(HKEY parent, std::string_view subKey, HKEY* result, bool create) {
    std::lock_guard lock(Handles().Lock());
    const auto key = Resolve(parent, subKey);
    if (!key || !result) {
        return ERROR_INVALID_PARAMETER;
    }
    LoadedRegistry registry;
    if (create) {
        bool created = false;
        registry.Hive(*key).Create(key->path, &created);
        if (created && !registry.Save()) {
            return ERROR_ACCESS_DENIED;
        }
    } else if (!registry.Find(*key)) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = Handles().Add(*key);
    return ERROR_SUCCESS;
}

std::vector<BYTE> StoredForm(DWORD type, const BYTE* data, DWORD size) {
    std::vector<BYTE> bytes(data, data + size);
    if (type == REG_SZ) {
        CutAtFirstZero(bytes);
    }
    return bytes;
}

}  // namespace

LONG RegCreateKeyEx(HKEY parent, std::string_view subKey, HKEY* result) {
    return OpenOrCreate(parent, subKey, result, true);
}

LONG RegOpenKeyEx(HKEY parent, std::string_view subKey, HKEY* result) {
    return OpenOrCreate(parent, subKey, result, false);
}

LONG RegCloseKey(HKEY key) {
    std::lock_guard lock(Handles().Lock());
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || Handles().Remove(key)) {
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_HANDLE;
}

LONG RegQueryValueEx(HKEY key, std::string_view valueName, DWORD* type, BYTE* data, DWORD* size) {
    std::lock_guard lock(Handles().Lock());
    const auto open = Handles().Lookup(key);
    if (!open || (data && !size)) {
        return open ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE;
    }
    LoadedRegistry registry;
    const RegistryKey* found = registry.Find(*open);
    if (!found) {
        return ERROR_KEY_DELETED;
    }
    const RegistryValue* value = found->FindValue(valueName);
    if (!value) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type) {
        *type = value->type;
    }
    const bool terminated = value->type == REG_SZ;
    const auto needed = static_cast<DWORD>(value->data.size() + (terminated ? 1 : 0));
    if (!size) {
        return ERROR_SUCCESS;
    }
    const DWORD available = *size;
    *size = needed;
    if (!data) {
        return ERROR_SUCCESS;
    }
    if (available < needed) {
        return ERROR_MORE_DATA;
    }
    std::copy(value->data.begin(), value->data.end(), data);
    if (terminated) {
        data[value->data.size()] = 0;
    }
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, std::string_view valueName, DWORD type, const BYTE* data, DWORD size) {
    std::lock_guard lock(Handles().Lock());
    const auto open = Handles().Lookup(key);
    if (!open) {
        return ERROR_INVALID_HANDLE;
    }
    if ((!data && size > 0) || !IsValidName(valueName)) {
        return ERROR_INVALID_PARAMETER;
    }
    LoadedRegistry registry;
    RegistryKey* found = registry.Find(*open);
    if (!found) {
        return ERROR_KEY_DELETED;
    }
    found->SetValue({std::string(valueName), type, StoredForm(type, data, size)});
    return registry.Save() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegDeleteValue(HKEY key, std::string_view valueName) {
    std::lock_guard lock(Handles().Lock());
    const auto open = Handles().Lookup(key);
    if (!open) {
        return ERROR_INVALID_HANDLE;
    }
    LoadedRegistry registry;
    RegistryKey* found = registry.Find(*open);
    if (!found) {
        return ERROR_KEY_DELETED;
    }
    if (!found->DeleteValue(valueName)) {
        return ERROR_FILE_NOT_FOUND;
    }
    return registry.Save() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG RegDeleteKey(HKEY parent, std::string_view subKey) {
    std::lock_guard lock(Handles().Lock());
    auto key = Resolve(parent, subKey);
    if (!key || key->path.empty() || SplitKeyPath(subKey)->empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::string last = key->path.back();
    key->path.pop_back();
    LoadedRegistry registry;
    RegistryKey* owner = registry.Find(*key);
    if (!owner || !owner->DeleteSubKey(last)) {
        return ERROR_FILE_NOT_FOUND;
    }
    return registry.Save() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

bool RegReadString(HKEY key, std::string_view valueName, std::string& out) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueEx(key, valueName, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
        return false;
    }
    std::vector<BYTE> data(size);
    if (RegQueryValueEx(key, valueName, &type, data.data(), &size) != ERROR_SUCCESS || type != REG_SZ) {
        return false;
    }
    out.assign(reinterpret_cast<const char*>(data.data()), size - 1);
    return true;
}

bool RegReadDword(HKEY key, std::string_view valueName, DWORD& out) {
    BYTE data[4];
    DWORD size = sizeof data;
    if (RegQueryValueEx(key, valueName, nullptr, data, &size) != ERROR_SUCCESS || size != sizeof data) {
        return false;
    }
    out = data[0] | data[1] << 8 | data[2] << 16 | DWORD(data[3]) << 24;
    return true;
}

bool RegWriteString(HKEY key, std::string_view valueName, std::string_view text) {
    return RegSetValueEx(key, valueName, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                         static_cast<DWORD>(text.size())) == ERROR_SUCCESS;
}

bool RegWriteDword(HKEY key, std::string_view valueName, DWORD value) {
    const BYTE data[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    return RegSetValueEx(key, valueName, REG_DWORD, data, sizeof data) == ERROR_SUCCESS;
}

}  // namespace win32
