#include "platform/d3d8/gl_state_shadow.h"

namespace d3d8 {

bool GlStateShadow::Remember(std::uint64_t key, const Entry& wanted) {
    auto [entry, inserted] = m_entries.try_emplace(key, wanted);
    if (inserted) {
        return true;
    }
    Entry& known = entry->second;
    if (known.size == wanted.size && std::memcmp(known.bytes.data(), wanted.bytes.data(), wanted.size) == 0) {
        return false;
    }
    known = wanted;
    return true;
}

}  // namespace d3d8
