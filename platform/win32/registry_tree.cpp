#include "platform/win32/registry_tree.h"

#include <algorithm>

namespace win32 {

namespace {
unsigned char LowerAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}
template <typename Map>
bool EraseByName(Map& map, std::string_view name) {
    const auto found = map.find(name);
    if (found == map.end()) {
        return false;
    }
    map.erase(found);
    return true;
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

RegistryKey* RegistryKey::Find(const std::vector<std::string>& path) {
    RegistryKey* key = this;
    for (const auto& name : path) {
        const auto child = key->m_children.find(name);
        if (child == key->m_children.end()) {
            return nullptr;
        }
        key = child->second.get();
    }
    return key;
}

RegistryKey& RegistryKey::Create(const std::vector<std::string>& path, bool* created) {
    RegistryKey* key = this;
    for (const auto& name : path) {
        auto& child = key->m_children[name];
        if (!child) {
            child = std::make_unique<RegistryKey>(name);
            if (created) {
                *created = true;
            }
        }
        key = child.get();
    }
    return *key;
}

bool RegistryKey::DeleteSubKey(std::string_view name) {
    return EraseByName(m_children, name);
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const {
    const auto value = m_values.find(name);
    return value == m_values.end() ? nullptr : &value->second;
}

void RegistryKey::SetValue(RegistryValue value) {
    const auto existing = m_values.find(value.name);
    if (existing != m_values.end()) {
        existing->second.type = value.type;
        existing->second.data = std::move(value.data);
        return;
    }
    std::string name = value.name;
    m_values.emplace(std::move(name), std::move(value));
}

bool RegistryKey::DeleteValue(std::string_view name) {
    return EraseByName(m_values, name);
}

RegistryKey* RegistryTree::Hive(std::string_view name) {
    const CaseInsensitiveLess less;
    for (RegistryKey* hive : {&currentUser, &localMachine}) {
        if (!less(name, hive->Name()) && !less(hive->Name(), name)) {
            return hive;
        }
    }
    return nullptr;
}

bool IsValidName(std::string_view name) {
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

void CutAtFirstZero(std::vector<BYTE>& text) {
    text.erase(std::find(text.begin(), text.end(), BYTE(0)), text.end());
}

std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
    if (!IsValidName(path)) {
        return std::nullopt;
    }
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) {
            if (pieces.size() == kMaxKeyDepth) {
                return std::nullopt;
            }
            pieces.emplace_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return pieces;
}

}  // namespace win32
