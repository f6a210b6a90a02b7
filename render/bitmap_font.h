#pragma once
// A font drawn from an image of character cells, as screen-space textured quads in a virtual
// 640 x 480 screen.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/d3d8/d3d8.h"
#include "render/font_flags.h"
#include "render/font_scan.h"

class enXml;

class CBitmapFont {
public:
    explicit CBitmapFont(std::string name);
    ~CBitmapFont();
    CBitmapFont(const CBitmapFont&) = delete;
    CBitmapFont& operator=(const CBitmapFont&) = delete;

    // Finds the font's file through the font list and loads it; negative on failure.
    HRESULT InitDeviceObjects(IDirect3DDevice8* device);
    // Loads the font file at the full path and scans its image; negative on failure.
    HRESULT LoadFontFile(IDirect3DDevice8* device, const std::string& fontFilePath,
                         const std::string& fileName);
    HRESULT RestoreDeviceObjects();
    HRESULT InvalidateDeviceObjects();
    HRESULT DeleteDeviceObjects();

    // x in 0 to 640, y in 0 to 480: the start of the last line's baseline before alignment.
    HRESULT DrawText(float x, float y, float z, float sizeX, float sizeY, std::string_view text, DWORD color,
                     DWORD flags);

    const std::string& GetName() const { return m_name; }
    std::uint32_t GetLineHeight() const { return m_lineHeight; }
    const tGlyph& GetGlyph(unsigned char code) const { return m_glyphs[code]; }

private:
    struct tTextVertex;
    class CVertexWriter;

    bool ReadLetters(const enXml& letters, const std::string& fileName, std::string& out) const;
    bool ScanImage(IDirect3DTexture8* texture, const std::string& imagePath, const std::string& letters,
                   const std::string& fileName);
    void RecordDrawStates();
    float LineWidth(std::string_view line, float horizontalFactor) const;

    std::string m_name;
    std::uint32_t m_lineHeight = 0;
    int m_resolutionX = 640;
    int m_resolutionY = 480;
    IDirect3DTexture8* m_texture = nullptr;  // owned by the texture cache
    std::uint32_t m_imageWidth = 0;
    std::uint32_t m_imageHeight = 0;
    std::array<tGlyph, 256> m_glyphs{};
    IDirect3DDevice8* m_device = nullptr;
    IDirect3DVertexBuffer8* m_vertexBuffer = nullptr;
    DWORD m_savedStateBlock = 0;
    DWORD m_drawStateBlock = 0;
};
