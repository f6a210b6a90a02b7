#pragma once
// The bitmap fonts by name: "Fonts\AllFonts.xml" maps names to font files, and each font is
// created once and shared.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/singleton.h"
#include "render/bitmap_font.h"

class CFontCacheItem {
public:
    CFontCacheItem(std::string name, std::unique_ptr<CBitmapFont> font);
    virtual ~CFontCacheItem() = default;

    // Bitmap fonts carry the key (1, 0, 0); look-ups match only items with exactly that key.
    bool IsBitmapFont() const { return m_key[0] == 1 && m_key[1] == 0 && m_key[2] == 0; }
    const std::string& GetName() const { return m_name; }
    CBitmapFont* GetFont() const { return m_font.get(); }

private:
    std::string m_name;
    int m_key[3] = {1, 0, 0};
    std::unique_ptr<CBitmapFont> m_font;
};

class CFontCache : public tmSingleton<CFontCache> {
public:
    ~CFontCache();

    // The shared font, created and initialised on first request; a font that failed to load
    // stays cached and draws nothing.
    CBitmapFont* GetFont(const std::string& name);
    bool GetFontFileName(const std::string& name, std::string& fileName) const;
    // Replaces the font list with the one in the document.
    void LoadFontList(const std::string& documentName);
    void RestoreDeviceObjects();
    void InvalidateDeviceObjects();

private:
    friend class tmSingleton<CFontCache>;
    CFontCache();

    void AddListEntry(const enXml& element);

    std::vector<std::unique_ptr<CFontCacheItem>> m_fonts;
    std::vector<std::pair<std::string, std::string>> m_names;
};
