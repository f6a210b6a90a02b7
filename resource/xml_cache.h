#pragma once
// Parses each document once per run and shares it. The most recently used entry comes first;
// documents live until the end of the process.

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "engine/singleton.h"
#include "resource/xml.h"

// The stored file name of a document: "lbm" in place of its last three characters.
std::string ReplaceXmlExtension(std::string_view documentName);

class XmlCache : public tmSingleton<XmlCache> {
public:
    // The shared document for the name (for example "Fonts\AllFonts.xml"), read from the plain
    // file and, when that is missing or damaged, from the group file. Null when neither works;
    // a later call tries again.
    const enXml* Load(std::string_view documentName);
    std::size_t Size() const { return m_entries.size(); }

private:
    struct tEntry {
        std::string path;
        std::uint32_t hash;
        std::unique_ptr<enXml> document;
    };

    static std::unique_ptr<enXml> ReadDocument(const std::string& path);

    std::list<tEntry> m_entries;
};
