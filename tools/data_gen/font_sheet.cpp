#include "tools/data_gen/font_sheet.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>

namespace zumbo::datagen {
namespace {

struct LibraryCloser {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryCloser>;
using FaceHandle = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceCloser>;

// One rendered glyph: its coverage bitmap and where it sits in its cell.
struct Glyph {
    int code = 0;
    int cellWidth = 1;
    int left = 0;  // bitmap column offset inside the cell
    int top = 0;   // bitmap row offset inside the cell
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;
};

int NextPowerOfTwo(int value) {
    int result = 1;
    while (result < value) {
        result *= 2;
    }
    return result;
}

Glyph RenderGlyph(FT_Face face, int code, int ascent) {
    Glyph glyph;
    glyph.code = code;
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER) != 0) {
        return glyph;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = std::max(0, slot->bitmap_left);
    glyph.top = ascent - slot->bitmap_top;
    glyph.width = int(bitmap.width);
    glyph.rows = int(bitmap.rows);
    glyph.cellWidth = std::max({1, int(slot->advance.x >> 6), glyph.left + glyph.width});
    glyph.coverage.resize(std::size_t(glyph.width) * std::size_t(glyph.rows));
    for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* source = bitmap.buffer + std::ptrdiff_t(row) * bitmap.pitch;
        std::copy(source, source + glyph.width, glyph.coverage.begin() + std::ptrdiff_t(row) * glyph.width);
    }
    return glyph;
}

// Paints one glyph's cell whose left border column is borderX and top border row is borderY.
void PaintCell(RgbaImage& image, const Glyph& glyph, int borderX, int borderY, int cellHeight,
               int baselineRow) {
    image.FillRect(borderX + 1, borderY + 1, glyph.cellWidth, cellHeight, Rgba{255, 255, 255, 0});
    for (int row = 0; row < glyph.rows; ++row) {
        const int y = glyph.top + row;
        if (y < 0 || y >= cellHeight) {
            continue;
        }
        for (int column = 0; column < glyph.width; ++column) {
            const int x = glyph.left + column;
            if (x < glyph.cellWidth) {
                image.Set(borderX + 1 + x, borderY + 1 + y,
                          Rgba{255, 255, 255, glyph.coverage[std::size_t(row * glyph.width + column)]});
            }
        }
    }
    image.Set(borderX, borderY + 1 + baselineRow, kBaseline);
}

}  // namespace

std::vector<int> Latin1PrintableCodes() {
    std::vector<int> codes;
    for (int code = 32; code <= 126; ++code) {
        codes.push_back(code);
    }
    for (int code = 160; code <= 255; ++code) {
        codes.push_back(code);
    }
    return codes;
}

bool BuildFontSheet(const std::string& fontFile, int pixelSize, const std::vector<int>& codes, int sheetWidth,
                    FontSheet& sheet, std::string& error) {
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) {
        error = "FreeType does not start";
        return false;
    }
    LibraryHandle library(rawLibrary);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(rawLibrary, fontFile.c_str(), 0, &rawFace) != 0) {
        error = "not a font FreeType reads";
        return false;
    }
    FaceHandle face(rawFace);
    if (FT_Set_Pixel_Sizes(rawFace, 0, FT_UInt(pixelSize)) != 0) {
        error = "the font has no size " + std::to_string(pixelSize);
        return false;
    }
    const int ascent = int((rawFace->size->metrics.ascender + 63) >> 6);
    const int descent = int((-rawFace->size->metrics.descender + 63) >> 6);
    sheet.cellHeight = ascent + descent;
    sheet.baselineRow = ascent - 1;

    std::vector<Glyph> glyphs;
    for (int code : codes) {
        glyphs.push_back(RenderGlyph(rawFace, code, ascent));
        if (glyphs.back().cellWidth + 2 > sheetWidth) {
            error = "a glyph is wider than the sheet";
            return false;
        }
    }
    // Lay the cells out in rows; each row has a top border line, the last one a bottom line.
    std::vector<std::pair<int, int>> borders;  // left border column and top border row of each cell
    int x = 0;
    int y = 0;
    for (const Glyph& glyph : glyphs) {
        if (x + glyph.cellWidth + 1 >= sheetWidth) {
            x = 0;
            y += sheet.cellHeight + 1;
        }
        borders.emplace_back(x, y);
        x += glyph.cellWidth + 1;
    }
    const int usedHeight = y + sheet.cellHeight + 2;
    sheet.image = RgbaImage(sheetWidth, NextPowerOfTwo(usedHeight), kSeparator);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        PaintCell(sheet.image, glyphs[i], borders[i].first, borders[i].second, sheet.cellHeight,
                  sheet.baselineRow);
    }
    sheet.image.Set(sheetWidth - 1, sheet.image.Height() - 1, kBaseline);
    sheet.codes = codes;
    return true;
}

std::string FontDocumentXml(const std::string& imageFileName, int screenWidth, int screenHeight,
                            const std::vector<int>& codes) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Font>\n";
    xml += "    <Image FileName=\"" + imageFileName + "\"/>\n";
    xml += "    <iScreenResolutionX Value=\"" + std::to_string(screenWidth) + "\"/>\n";
    xml += "    <iScreenResolutionY Value=\"" + std::to_string(screenHeight) + "\"/>\n";
    xml += "    <Letters>\n";
    for (int code : codes) {
        xml += "        <Letter ASCII=\"" + std::to_string(code) + "\"/>\n";
    }
    xml += "    </Letters>\n</Font>\n";
    return xml;
}

}  // namespace zumbo::datagen
