// The cell scan on generated font images: cell edges, baselines, line height and the counts of
// cells and letters.

#include "render/font_scan.h"

#include <gtest/gtest.h>

#include "tests/support/font_image_builder.h"
#include "tests/support/log_capture.h"

namespace {

using zumbo::test::FontImageBuilder;
using zumbo::test::kBaseline;
using zumbo::test::kInk;
using zumbo::test::kSeparator;

TEST(FontScanTest, CellsBecomeGlyphsInsideTheirSeparators) {
    zumbo::test::LogCapture log;
    const FontImageBuilder builder(3, 4, {6});  // 16 x 8
    const tFontScan scan = ScanFontImage(builder.Image(), "ABC", "font.tga", "font.xml");
    EXPECT_EQ(scan.lineHeight, 6u);
    const tGlyph& a = scan.glyphs['A'];
    EXPECT_FLOAT_EQ(a.left, 1.5f / 16);
    EXPECT_FLOAT_EQ(a.top, 1.5f / 8);
    EXPECT_FLOAT_EQ(a.right, 5.5f / 16);
    EXPECT_FLOAT_EQ(a.bottom, 7.5f / 8);
    EXPECT_FLOAT_EQ(a.descent, 0.0f);
    EXPECT_FLOAT_EQ(scan.glyphs['C'].left, 11.5f / 16);
    EXPECT_FLOAT_EQ(scan.glyphs['C'].right, 15.5f / 16);
    EXPECT_EQ(scan.glyphs['D'].right, 0.0f);
    EXPECT_EQ(log.Count("Created char B."), 1);
    EXPECT_EQ(log.Count("Number of characters"), 0);
}

TEST(FontScanTest, ABaselineMarkInTheLeftBorderSetsTheDescent) {
    FontImageBuilder builder(2, 4, {6});  // 11 x 8
    builder.Set(10, 7, kBaseline);        // the bottom-right pixel names the mark's value
    builder.Set(5, 1 + 4, kBaseline);     // second cell: baseline 4 rows below its top
    const tFontScan scan = ScanFontImage(builder.Image(), "gh", "font.tga", "font.xml");
    EXPECT_FLOAT_EQ(scan.glyphs['g'].descent, 0.0f);
    EXPECT_FLOAT_EQ(scan.glyphs['h'].descent, (6.0f - 4.0f - 1.0f) / 8);
    EXPECT_FLOAT_EQ(scan.glyphs['h'].bottom, 7.5f / 8);
}

TEST(FontScanTest, TheFirstCellsHeightIsTheLineHeightWhateverFollows) {
    const FontImageBuilder builder(2, 3, {12, 5});  // 9 x 20
    const tFontScan scan = ScanFontImage(builder.Image(), "abcd", "font.tga", "font.xml");
    EXPECT_EQ(scan.lineHeight, 12u);
    // The second row of cells starts below the first row's bottom border, row 13.
    EXPECT_FLOAT_EQ(scan.glyphs['c'].top, 14.5f / 20);
    EXPECT_FLOAT_EQ(scan.glyphs['d'].bottom, (13.0f + 1 + 5 + 0.5f) / 20);
}

TEST(FontScanTest, MoreLettersThanCellsIsReportedOnce) {
    zumbo::test::LogCapture log;
    const FontImageBuilder builder(2, 3, {4});
    ScanFontImage(builder.Image(), "abcde", "font.tga", "font.xml");
    EXPECT_EQ(log.Count("Warning. Number of characters in the image font.tga smaller than number of chars in "
                        "font.xml."),
              1);
}

TEST(FontScanTest, EveryCellBeyondTheLettersIsReported) {
    zumbo::test::LogCapture log;
    const FontImageBuilder builder(4, 3, {4});
    const tFontScan scan = ScanFontImage(builder.Image(), "ab", "font.tga", "font.xml");
    EXPECT_EQ(log.Count("Warning. Number of characters in the image font.tga larger than number of chars in "
                        "font.xml."),
              2);
    EXPECT_GT(scan.glyphs['b'].right, 0.0f);
}

TEST(FontScanTest, ImagesWithoutCellsGiveNoGlyphs) {
    zumbo::test::LogCapture log;
    const CFontImage solid(8, 8, std::vector<std::uint32_t>(64, kSeparator));
    std::vector<std::uint32_t> blank(64, kInk);
    blank[0] = kSeparator;
    for (const CFontImage& image : {solid, CFontImage(8, 8, blank), CFontImage(1, 1, {kSeparator})}) {
        const tFontScan scan = ScanFontImage(image, "a", "font.tga", "font.xml");
        EXPECT_EQ(scan.lineHeight, 0u);
        EXPECT_EQ(scan.glyphs['a'].right, 0.0f);
    }
    EXPECT_EQ(log.Count("smaller than number of chars"), 3);
}

}  // namespace
