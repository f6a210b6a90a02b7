#include "resource/group_name_store.h"

#include <algorithm>

#include "resource/name_atom.h"
#include "resource/normalized_path_reader.h"

namespace {
constexpr std::size_t kBlockSize = 64 * 1024;
}  // namespace

const tGroupName* CGroupNameStore::Add(std::string_view name) {
    // Normalising never lengthens a name.
    char* const text = Reserve(name.size());
    CNormalizedPathReader reader({name});
    std::size_t length = 0;
    std::uint32_t hash = 0;
    for (char c = 0; reader.Next(c);) {
        text[length++] = c;
        hash = NameAtom::HashAdd(hash, c);
    }
    m_used += length;
    return &m_names.emplace_back(std::string_view(text, length), hash);
}

void CGroupNameStore::Clear() {
    m_names.clear();
    m_blocks.clear();
    m_used = 0;
    m_capacity = 0;
}

char* CGroupNameStore::Reserve(std::size_t size) {
    if (m_blocks.empty() || m_capacity - m_used < size) {
        m_capacity = std::max(kBlockSize, size);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(m_capacity));
        m_used = 0;
    }
    return m_blocks.back().get() + m_used;
}
