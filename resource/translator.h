#pragma once
// Translates shown texts through the pairs of "Localisation.xml". A text without an entry is
// shown as it stands; matching is exact and case-sensitive.

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

#include "engine/singleton.h"

class CTranslator : public tmSingleton<CTranslator> {
public:
    struct tEntry {
        std::string source;
        std::string local;
        std::uint32_t hash;
    };

    // Reads the table once from "Localisation.xml" in the program folder; problems in the file
    // are logged and their entries skipped.
    CTranslator();
    explicit CTranslator(std::string_view documentName);

    const char* Translate(const char* text);
    const std::string& Translate(const std::string& text);
    // Moves a found entry to the front, so texts shown every frame are found first.
    const tEntry* Find(std::string_view text);
    std::size_t Size() const { return m_entries.size(); }

private:
    void ReadTable(std::string_view documentName);

    std::list<tEntry> m_entries;
};
