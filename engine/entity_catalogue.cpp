// The catalogue of named entity templates, "AllEntities.xml" in the program folder.
#include <algorithm>

#include "app/debug_log.h"
#include "engine/entity_manager.h"
#include "resource/name_atom.h"
#include "resource/paths.h"
#include "resource/xml.h"
#include "resource/xml_cache.h"

void enEntityManager::LoadCatalogue(const std::string& programFolder) {
    m_catalogue.clear();
    const enXml* root = XmlCache::Instance().Load(programFolder + "AllEntities.xml");
    if (!root) {
        return;
    }
    CDebugLog& log = CDebugLog::Instance();
    if (!root->GetName()->Matches(*InternName("AllEntities"))) {
        log.LogLevel(1, "Warning: AllEntities.xml was not loaded -- root must be named\"AllEntities\".");
        return;
    }
    for (const enXml* element = root->FirstChild(); element; element = element->NextSibling()) {
        AddCatalogueEntry(*element, programFolder);
    }
}

void enEntityManager::AddCatalogueEntry(const enXml& element, const std::string& programFolder) {
    CDebugLog& log = CDebugLog::Instance();
    if (!element.GetName()->Matches(*InternName("Entity"))) {
        log.LogLevel(1, "Warning: AllEntities.xml\\AllEntities contains wrong tag: \"%s\".",
                     element.GetName()->Text().c_str());
        return;
    }
    tCatalogueEntry entry;
    std::string fileName;
    if (!element.GetAttributeString(InternName("Name"), entry.name)) {
        log.LogLevel(1, "Warning: AllEntities.xml\\AllEntities\\Entity has no \"Name\" attribute.");
        return;
    }
    if (!element.GetAttributeString(InternName("FileName"), fileName)) {
        log.LogLevel(1, "Warning: AllEntities.xml\\AllEntities\\Entity has no \"FileName\" attribute.");
        return;
    }
    if (FindCatalogueEntry(entry.name)) {
        log.LogLevel(
            2,
            "Warning: AllEntities.xml\\AllEntities\\Entity has duplicated \"Name\" attribute: %s -- skipping "
            "(using first one).",
            entry.name.c_str());
        return;
    }
    entry.filePath = programFolder + "\\Entities\\" + fileName;
    entry.nameHash = NameAtom::FoldedHashOf(entry.name);
    m_catalogue.push_back(std::move(entry));
}

const enEntityManager::tCatalogueEntry* enEntityManager::FindCatalogueEntry(std::string_view name) {
    const std::uint32_t hash = NameAtom::FoldedHashOf(name);
    const auto found =
        std::find_if(m_catalogue.begin(), m_catalogue.end(), [&](const tCatalogueEntry& entry) {
            return entry.nameHash == hash && EqualsIgnoringCase(entry.name, name);
        });
    if (found == m_catalogue.end()) {
        return nullptr;
    }
    // Frequently used names move to the front.
    std::rotate(m_catalogue.begin(), found, found + 1);
    return &m_catalogue.front();
}
