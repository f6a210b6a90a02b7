#include "resource/xml_cache.h"

#include "app/debug_log.h"
#include "platform/win32/files.h"
#include "resource/group_file.h"
#include "resource/normalized_path_reader.h"
#include "resource/paths.h"
#include "resource/xml_bml_converter.h"

std::string ReplaceXmlExtension(std::string_view documentName) {
    std::string name(documentName);
    if (name.size() >= 3) {
        name.replace(name.size() - 3, 3, "lbm");
    }
    return name;
}

namespace {
// The stored file's full path, in the pieces MakeFullPath would join, so that a hit needs no
// string built: the name less its last three characters, then "lbm".
CNormalizedPathReader StoredPathReader(std::string_view documentName) {
    const std::string_view stem = documentName.substr(0, documentName.size() - 3);
    const char second = stem.size() > 1 ? stem[1] : "lbm"[1 - stem.size()];
    if (second == ':') {
        return CNormalizedPathReader({stem, "lbm"});
    }
    return CNormalizedPathReader({GetProgramFolder(), "\\", stem, "lbm"});
}
}  // namespace

const enXml* XmlCache::Load(std::string_view documentName) {
    if (documentName.size() < 3) {
        return nullptr;
    }
    std::uint32_t hash = 0;
    CNormalizedPathReader hashed = StoredPathReader(documentName);
    for (char c = 0; hashed.Next(c);) {
        hash = NameAtom::HashAdd(hash, c);
    }
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->hash == hash && StoredPathReader(documentName).RestEquals(entry->path)) {
            m_entries.splice(m_entries.begin(), m_entries, entry);
            return entry->document.get();
        }
    }
    const std::string path = NormalizedPath(MakeFullPath(ReplaceXmlExtension(documentName)));
    CDebugLog::Instance().LogLevel(3, "XML Cache miss with %s", path.c_str());
    std::unique_ptr<enXml> document = ReadDocument(path);
    if (!document) {
        CDebugLog::Instance().Log("Failed to load XML: %s", std::string(documentName).c_str());
        return nullptr;
    }
    document->SetSourceName(path);
    return m_entries.emplace_back(tEntry{path, hash, std::move(document)}).document.get();
}

std::unique_ptr<enXml> XmlCache::ReadDocument(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (FileExists(path) && win32::ReadFile(path, bytes)) {
        if (auto document = CXmlBmlConverter::FromBinary(bytes)) {
            return document;
        }
    }
    if (CGroupFile::Instance().ReadFile(path, bytes) && !bytes.empty()) {
        return CXmlBmlConverter::FromBinary(bytes);
    }
    return nullptr;
}
