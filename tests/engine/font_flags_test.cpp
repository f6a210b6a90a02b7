#include "render/font_flags.h"

#include "tests/support/engine_fixture.h"

namespace {

using FontFlagsTest = EngineTest;

TEST_F(FontFlagsTest, NamesAreCombinedAcrossBothSeparators) {
    EXPECT_EQ(D3DFONT_CENTERED_X | D3DFONT_CENTERED_Y | D3DFONT_FILTERED,
              ParseFontFlags("D3DFONT_CENTERED_X,D3DFONT_CENTERED_Y;;D3DFONT_FILTERED"));
    EXPECT_EQ(0u, ParseFontFlags("D3DFONT_ALIGN_LEFT;D3DFONT_ALIGN_BOTTOM"));
    EXPECT_EQ(0u, ParseFontFlags(""));
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(FontFlagsTest, UnknownOrMiscasedNamesAreLoggedAndAddNothing) {
    EXPECT_EQ(D3DFONT_TWOSIDED, ParseFontFlags("d3dfont_filtered,D3DFONT_TWOSIDED, D3DFONT_ALIGN_TOP"));
    EXPECT_TRUE(LogContains("Unknown font flag: d3dfont_filtered. Skipping."));
    EXPECT_TRUE(LogContains("Unknown font flag:  D3DFONT_ALIGN_TOP. Skipping."));
}

}  // namespace
