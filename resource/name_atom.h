#pragma once
// Interned names. Every element and attribute name is an atom, so that look-ups compare
// 32-bit hashes before texts.

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/singleton.h"

class NameAtom {
public:
    NameAtom(std::string text, std::uint32_t hash) : m_text(std::move(text)), m_hash(hash) {}

    const std::string& Text() const { return m_text; }
    std::uint32_t Hash() const { return m_hash; }
    // Bit 31 is always set: it marks the hash as computed.
    std::uint32_t FoldedHash() const;
    // The same atom, or the same text ignoring ASCII case.
    bool Matches(const NameAtom& other) const;

    static std::uint32_t HashOf(std::string_view text);
    // One step of HashOf, for texts hashed a character at a time.
    static std::uint32_t HashAdd(std::uint32_t hash, char c) {
        return ((hash << 8) | (hash >> 24)) +
               static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    }
    static std::uint32_t FoldedHashOf(std::string_view text);

private:
    std::string m_text;
    std::uint32_t m_hash;
    mutable std::uint32_t m_foldedHash = 0;
};

// Atoms live as long as the process; the list slowly orders itself by use. The index finds an
// atom without walking the list; its keys view the atoms' own texts, which never move.
class NameAtomTable : public tmSingleton<NameAtomTable> {
public:
    NameAtomTable();
    const NameAtom* Intern(std::string_view text);
    const NameAtom* Empty() const { return m_empty; }
    std::size_t Size() const { return m_atoms.size(); }
    const NameAtom& Front() const { return m_atoms.front(); }

private:
    std::list<NameAtom> m_atoms;
    struct TextHash {
        std::size_t operator()(std::string_view text) const { return NameAtom::HashOf(text); }
    };
    std::unordered_map<std::string_view, std::list<NameAtom>::iterator, TextHash> m_index;
    const NameAtom* m_empty;
};

inline const NameAtom* InternName(std::string_view text) {
    return NameAtomTable::Instance().Intern(text);
}
inline const NameAtom* EmptyName() {
    return NameAtomTable::Instance().Empty();
}
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
