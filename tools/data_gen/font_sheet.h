#pragma once
// Bitmap font sheets: glyphs rasterised with FreeType into a grid of cells that the engine's font
// loader finds by scanning for separator lines. The top-left pixel holds the separator colour, the
// bottom-right pixel the baseline colour, and each cell's left border marks its baseline row with it.
// Both are fully transparent: glyph corners sample the border lines, which must not show.

#include <string>
#include <vector>

#include "tools/data_gen/rgba_image.h"

namespace zumbo::datagen {

inline constexpr Rgba kSeparator{255, 0, 255, 0};
inline constexpr Rgba kBaseline{0, 255, 255, 0};

struct FontSheet {
    RgbaImage image{1, 1};
    std::vector<int> codes;  // the character of each cell, in scan order
    int cellHeight = 0;
    int baselineRow = 0;  // row of the baseline inside a cell, counted from the cell's top
};

// Codes 32 to 126 and 160 to 255: the Latin-1 texts the engine draws.
std::vector<int> Latin1PrintableCodes();

// Rasterises the codes at the pixel size into a sheet no wider than sheetWidth (a power of two).
// The height is rounded up to a power of two; unused space is separator-coloured, which the
// scan reads as empty cells. Returns false with a message when FreeType fails.
bool BuildFontSheet(const std::string& fontFile, int pixelSize, const std::vector<int>& codes, int sheetWidth,
                    FontSheet& sheet, std::string& error);

// The font document naming the image and listing the cells' characters by their codes.
std::string FontDocumentXml(const std::string& imageFileName, int screenWidth, int screenHeight,
                            const std::vector<int>& codes);

}  // namespace zumbo::datagen
