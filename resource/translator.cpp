#include "resource/translator.h"

#include "app/debug_log.h"
#include "resource/name_atom.h"
#include "resource/paths.h"
#include "resource/xml.h"

CTranslator::CTranslator() : CTranslator(MakeFullPath("Localisation.xml")) {}

CTranslator::CTranslator(std::string_view documentName) {
    ReadTable(documentName);
}

void CTranslator::ReadTable(std::string_view documentName) {
    enXml document;
    if (!document.Load(documentName)) {
        return;
    }
    CDebugLog& log = CDebugLog::Instance();
    if (!EqualsIgnoringCase(document.GetName()->Text(), "Localisation")) {
        log.LogLevel(1, "Warning: Localisation.xml was not loaded -- root must be named\"Localisation\".");
        return;
    }
    for (const enXml* child = document.FirstChild(); child; child = child->NextSibling()) {
        const enXmlAttribute* source = child->FindAttribute("String");
        const enXmlAttribute* local = child->FindAttribute("LocalString");
        if (!EqualsIgnoringCase(child->GetName()->Text(), "Translator")) {
            log.LogLevel(1, "Warning: Localisation.xml\\Localisation contains wrong tag: \"%s\".",
                         child->GetName()->Text().c_str());
        } else if (!source) {
            log.LogLevel(1,
                         "Warning: Localisation.xml\\Localisation\\Translator has no \"String\" attribute.");
        } else if (!local) {
            log.LogLevel(
                1, "Warning: Localisation.xml\\Localisation\\Translator has no \"LocalString\" attribute.");
        } else if (Find(source->value)) {
            log.LogLevel(
                1,
                "Warning: Localisation.xml\\Localisation\\Translator has duplicated \"String\" attribute: "
                "%s -- skipping (using first one).",
                source->value.c_str());
        } else {
            m_entries.push_back({source->value, local->value, NameAtom::HashOf(source->value)});
        }
    }
}

const CTranslator::tEntry* CTranslator::Find(std::string_view text) {
    const std::uint32_t hash = NameAtom::HashOf(text);
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->hash == hash && entry->source == text) {
            m_entries.splice(m_entries.begin(), m_entries, entry);
            return &*entry;
        }
    }
    return nullptr;
}

const char* CTranslator::Translate(const char* text) {
    const tEntry* entry = Find(text);
    return entry ? entry->local.c_str() : text;
}

const std::string& CTranslator::Translate(const std::string& text) {
    const tEntry* entry = Find(text);
    return entry ? entry->local : text;
}
