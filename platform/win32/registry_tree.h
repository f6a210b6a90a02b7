#pragma once
// For the registry stand-in only: keys and values in memory. Key and value names compare
// ignoring ASCII case and keep the spelling they were created with.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/types.h"

namespace win32 {

// Windows' own limit; it also bounds the recursion over the tree.
constexpr std::size_t kMaxKeyDepth = 512;

struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

struct RegistryValue {
    std::string name;  // empty for the default value
    DWORD type = 0;
    // REG_SZ holds the text without its terminating zero.
    std::vector<BYTE> data;
};

class RegistryKey {
public:
    using Children = std::map<std::string, std::unique_ptr<RegistryKey>, CaseInsensitiveLess>;
    using Values = std::map<std::string, RegistryValue, CaseInsensitiveLess>;

    explicit RegistryKey(std::string name) : m_name(std::move(name)) {}

    const std::string& Name() const { return m_name; }
    const Children& SubKeys() const { return m_children; }
    const Values& ValuesByName() const { return m_values; }

    RegistryKey* Find(const std::vector<std::string>& path);
    // Creates the missing keys along the path; reports whether any was created.
    RegistryKey& Create(const std::vector<std::string>& path, bool* created = nullptr);
    bool DeleteSubKey(std::string_view name);

    const RegistryValue* FindValue(std::string_view name) const;
    void SetValue(RegistryValue value);
    bool DeleteValue(std::string_view name);

private:
    std::string m_name;
    Children m_children;
    Values m_values;
};

// The two hives kept by the stand-in.
struct RegistryTree {
    RegistryKey currentUser{"HKEY_CURRENT_USER"};
    RegistryKey localMachine{"HKEY_LOCAL_MACHINE"};

    RegistryKey* Hive(std::string_view name);
};

// Splits a key path at backslashes, dropping empty pieces. Empty when the path is deeper
// than kMaxKeyDepth or holds control characters, which no file line could carry.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path);
bool IsValidName(std::string_view name);
// REG_SZ text ends at its first zero byte, however it was given.
void CutAtFirstZero(std::vector<BYTE>& text);

}  // namespace win32
