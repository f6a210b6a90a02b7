#include "resource/name_atom.h"

#include <cctype>
#include <iterator>

namespace {
constexpr std::uint32_t kFoldedHashComputed = 0x80000000u;

std::uint32_t RotateLeft8(std::uint32_t value) {
    return (value << 8) | (value >> 24);
}
}  // namespace

std::uint32_t NameAtom::HashOf(std::string_view text) {
    std::uint32_t hash = 0;
    for (const char c : text) {
        hash = HashAdd(hash, c);
    }
    return hash;
}

std::uint32_t NameAtom::FoldedHashOf(std::string_view text) {
    std::uint32_t hash = 0;
    for (const char c : text) {
        hash = RotateLeft8(hash) + static_cast<std::uint32_t>(std::tolower(static_cast<unsigned char>(c)));
    }
    return hash | kFoldedHashComputed;
}

std::uint32_t NameAtom::FoldedHash() const {
    if (!(m_foldedHash & kFoldedHashComputed)) {
        m_foldedHash = FoldedHashOf(m_text);
    }
    return m_foldedHash;
}

bool NameAtom::Matches(const NameAtom& other) const {
    return this == &other || (FoldedHash() == other.FoldedHash() && EqualsIgnoringCase(m_text, other.m_text));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

NameAtomTable::NameAtomTable() : m_empty(Intern("")) {}

const NameAtom* NameAtomTable::Intern(std::string_view text) {
    if (const auto found = m_index.find(text); found != m_index.end()) {
        const auto it = found->second;
        if (it != m_atoms.begin()) {
            m_atoms.splice(std::prev(it), m_atoms, it);
        }
        return &*it;
    }
    NameAtom& atom = m_atoms.emplace_back(std::string(text), NameAtom::HashOf(text));
    m_index.emplace(atom.Text(), std::prev(m_atoms.end()));
    return &atom;
}
