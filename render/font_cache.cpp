#include "render/font_cache.h"

#include <algorithm>

#include "app/debug_log.h"
#include "render/application_device.h"
#include "resource/name_atom.h"
#include "resource/xml.h"

CFontCacheItem::CFontCacheItem(std::string name, std::unique_ptr<CBitmapFont> font)
    : m_name(std::move(name)), m_font(std::move(font)) {}

CFontCache::CFontCache() {
    LoadFontList("Fonts\\AllFonts.xml");
}

CFontCache::~CFontCache() {
    for (const auto& item : m_fonts) {
        item->GetFont()->DeleteDeviceObjects();
    }
}

void CFontCache::LoadFontList(const std::string& documentName) {
    m_names.clear();
    enXml list;
    list.Load(documentName);
    if (!EqualsIgnoringCase(list.GetName()->Text(), "AllFonts")) {
        CDebugLog::Instance().LogLevel(
            1, "Warning: AllFonts.xml was not loaded -- root must be named\"AllFonts\".");
        return;
    }
    for (const enXml* child = list.FirstChild(); child; child = child->NextSibling()) {
        AddListEntry(*child);
    }
}

void CFontCache::AddListEntry(const enXml& element) {
    CDebugLog& log = CDebugLog::Instance();
    const std::string& tag = element.GetName()->Text();
    if (!EqualsIgnoringCase(tag, "Font")) {
        log.LogLevel(1, "Warning: AllFonts.xml\\AllFonts contains unknown tag \"%s\".", tag.c_str());
        return;
    }
    std::string name;
    std::string fileName;
    if (!element.GetAttributeString("Name", name)) {
        log.LogLevel(1, "Warning: AllFonts.xml\\AllFonts\\Font has no \"Name\" attribute.");
        return;
    }
    if (!element.GetAttributeString("FileName", fileName)) {
        log.LogLevel(1, "Warning: AllFonts.xml\\AllFonts\\Font has no \"FileName\" attribute.");
        return;
    }
    const bool duplicated = std::any_of(m_names.begin(), m_names.end(), [&name](const auto& entry) {
        return EqualsIgnoringCase(entry.first, name);
    });
    if (duplicated) {
        log.LogLevel(
            2,
            "Warning: AllFonts.xml\\AllFonts\\Font has duplicated \"Name\" attribute -- skipping (using "
            "first one).");
        return;
    }
    m_names.emplace_back(std::move(name), std::move(fileName));
}

bool CFontCache::GetFontFileName(const std::string& name, std::string& fileName) const {
    for (const auto& [entryName, entryFile] : m_names) {
        if (EqualsIgnoringCase(entryName, name)) {
            fileName = entryFile;
            return true;
        }
    }
    CDebugLog::Instance().LogLevel(1, "WARNING! Unknown font name \"%s\".", name.c_str());
    return false;
}

CBitmapFont* CFontCache::GetFont(const std::string& name) {
    for (const auto& item : m_fonts) {
        if (item->IsBitmapFont() && EqualsIgnoringCase(item->GetName(), name)) {
            return item->GetFont();
        }
    }
    auto font = std::make_unique<CBitmapFont>(name);
    font->InitDeviceObjects(GetApplicationDevice());
    font->RestoreDeviceObjects();
    m_fonts.push_back(std::make_unique<CFontCacheItem>(name, std::move(font)));
    return m_fonts.back()->GetFont();
}

void CFontCache::RestoreDeviceObjects() {
    for (const auto& item : m_fonts) {
        item->GetFont()->RestoreDeviceObjects();
    }
}

void CFontCache::InvalidateDeviceObjects() {
    for (const auto& item : m_fonts) {
        item->GetFont()->InvalidateDeviceObjects();
    }
}
