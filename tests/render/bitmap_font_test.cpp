// Bitmap font files, the font list and text drawing on the recording back end.

#include <gtest/gtest.h>

#include <functional>

#include "render/bitmap_font.h"
#include "render/font_cache.h"
#include "render/texture_cache.h"
#include "resource/paths.h"
#include "resource/xml.h"
#include "tests/support/font_image_builder.h"
#include "tests/support/render_application.h"
#include "tests/support/xml_builder.h"

namespace {

using zumbo::test::AddElement;
using zumbo::test::AddValue;
using zumbo::test::MakeRoot;

class BitmapFontTest : public zumbo::test::RenderTest {
protected:
    // A font file naming font.tga, with one letter element per entry.
    // One letter element per entry, with the attribute of that name and value.
    std::string WriteFont(const std::string& name,
                          const std::vector<std::pair<const char*, std::string>>& letters,
                          bool withImage = true) {
        auto font = MakeRoot("Font");
        if (withImage) {
            AddElement(*font, "Image", {{"FileName", "font.tga"}});
        }
        enXml& list = AddElement(*font, "Letters");
        for (const auto& [attribute, value] : letters) {
            AddElement(list, "Letter", {{attribute, value}});
        }
        EXPECT_TRUE(font->Save(InSandbox(name)));
        return InSandbox(name);
    }

    HRESULT Load(CBitmapFont& font, const std::string& path) {
        return font.LoadFontFile(Device(), path, "test.xml");
    }

    unsigned DrawnTriangles() const {
        unsigned triangles = 0;
        for (const auto& draw : Record().draws) {
            triangles += draw.primitiveCount;
        }
        return triangles;
    }
};

TEST_F(BitmapFontTest, SixtyCharactersTakeTwoDrawsAndSpacesNone) {
    m_sandbox.Write("font.tga", zumbo::test::FontImageBuilder(2, 4, {6}).Tga());
    CBitmapFont font("Test");
    ASSERT_EQ(Load(font, WriteFont("font.xml", {{"Char", "a"}, {"ASCII", "32"}})), S_OK);
    ASSERT_EQ(font.RestoreDeviceObjects(), S_OK);
    Device()->BeginScene();
    font.DrawText(10, 20, 0, 1, 1, std::string(60, 'a'), 0xFFFFFFFF, 0);
    ASSERT_EQ(Record().draws.size(), 2u);
    EXPECT_EQ(Record().draws[0].primitiveCount, 100u);
    EXPECT_EQ(Record().draws[1].primitiveCount, 20u);
    EXPECT_EQ(Record().draws[0].fvf, 324u);
    font.DrawText(10, 20, 0, 1, 1, "a a\n\na", 0xFFFFFFFF, 0);
    EXPECT_EQ(DrawnTriangles(), 120u + 6u);
    Device()->EndScene();
    EXPECT_EQ(m_log.Count("Load font: "), 1);
}

TEST_F(BitmapFontTest, DrawingLeavesTheDeviceStatesAsTheyWere) {
    m_sandbox.Write("font.tga", zumbo::test::FontImageBuilder(1, 4, {6}).Tga());
    CBitmapFont font("Test");
    ASSERT_EQ(Load(font, WriteFont("font.xml", {{"Char", "a"}})), S_OK);
    ASSERT_EQ(font.RestoreDeviceObjects(), S_OK);
    Device()->SetRenderState(D3DRS_ZENABLE, 1);
    Device()->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    Device()->BeginScene();
    font.DrawText(0, 0, 0, 1, 1, "a", 0xFFFFFFFF, D3DFONT_FILTERED);
    Device()->EndScene();
    ASSERT_EQ(Record().draws.size(), 1u);
    EXPECT_EQ(Record().draws[0].zEnable, 0u);
    EXPECT_EQ(Record().draws[0].alphaBlendEnable, 1u);
    DWORD value = 0;
    Device()->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, 1u);
    Device()->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_CW));
}

TEST_F(BitmapFontTest, BrokenFontFilesStopLoadingWithTheirMessage) {
    m_sandbox.Write("font.tga", zumbo::test::FontImageBuilder(2, 4, {6}).Tga());
    struct Case {
        std::vector<std::pair<const char*, std::string>> letters;
        bool withImage;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{{"Char", "ab"}}, true, "Font file test.xml contains wrong tag -- wrong \"Char\" attribute ab."},
        {{{"ASCII", "300"}},
         true,
         "Font file test.xml contains wrong tag -- wrong \"ASCII\" attribute 300 (Must be between 0 and "
         "255)."},
        {{{"Code", "7"}},
         true,
         "Font file test.xml contains wrong tag which does not contain neither \"ASCII\" nor \"Char\" "
         "attribute."},
        {{{"Char", "a"}}, false, "Can't resolve image file name by font file test.xml."},
    };
    int index = 0;
    for (const Case& broken : cases) {
        CBitmapFont font("Test");
        const std::string path =
            WriteFont("broken" + std::to_string(index++) + ".xml", broken.letters, broken.withImage);
        EXPECT_EQ(Load(font, path), E_FAIL) << broken.message;
        EXPECT_EQ(m_log.Count(broken.message), 1) << broken.message;
    }
    auto noLetters = MakeRoot("Font");
    AddElement(*noLetters, "Image", {{"FileName", "font.tga"}});
    ASSERT_TRUE(noLetters->Save(InSandbox("noletters.xml")));
    CBitmapFont font("Test");
    EXPECT_EQ(Load(font, InSandbox("noletters.xml")), E_FAIL);
    EXPECT_EQ(m_log.Count("Can't find \"Letters\" tag in the font file test.xml."), 1);
}

TEST_F(BitmapFontTest, MissingOrUnsuitableImagesFailAndTheFontDrawsNothing) {
    CBitmapFont missing("Test");
    EXPECT_EQ(Load(missing, WriteFont("font.xml", {{"Char", "a"}})), E_FAIL);
    EXPECT_EQ(m_log.Count("Couldn't load image for font file test.xml."), 1);
    missing.RestoreDeviceObjects();
    Device()->BeginScene();
    missing.DrawText(0, 0, 0, 1, 1, "aaa", 0xFFFFFFFF, 0);
    Device()->EndScene();
    EXPECT_EQ(Record().draws.size(), 0u);

    // A grey-level image loads as a texture but has no pixel format the scan reads.
    m_sandbox.Write("font.tga", "");
    m_sandbox.Write("font.dds", zumbo::test::DdsFile(2, 2, 1, {0x20000, 0, 8, 0xFF, 0, 0, 0}, {0, 1, 2, 3}));
    CTextureCache::Instance().ReleaseAll();
    CBitmapFont grey("Test");
    EXPECT_EQ(Load(grey, InSandbox("font.xml")), E_FAIL);
    EXPECT_EQ(m_log.Count("(Current format is 50)."), 1);
}

TEST_F(BitmapFontTest, TheFontListMapsNamesIgnoringCaseAndReportsItsFaults) {
    auto list = MakeRoot("AllFonts");
    AddElement(*list, "Font", {{"Name", "Title"}, {"FileName", "title.xml"}});
    AddElement(*list, "Font", {{"Name", "TITLE"}, {"FileName", "other.xml"}});
    AddElement(*list, "Font", {{"FileName", "nameless.xml"}});
    AddElement(*list, "Font", {{"Name", "Fileless"}});
    AddElement(*list, "Typeface", {{"Name", "Odd"}, {"FileName", "odd.xml"}});
    ASSERT_TRUE(list->Save(InSandbox("AllFonts.xml")));
    CFontCache& cache = CFontCache::Instance();
    cache.LoadFontList(InSandbox("AllFonts.xml"));
    std::string file;
    ASSERT_TRUE(cache.GetFontFileName("title", file));
    EXPECT_EQ(file, "title.xml");
    EXPECT_FALSE(cache.GetFontFileName("Fileless", file));
    EXPECT_FALSE(cache.GetFontFileName("Odd", file));
    EXPECT_EQ(m_log.Count("has duplicated \"Name\" attribute -- skipping (using first one)."), 1);
    EXPECT_EQ(m_log.Count("Warning: AllFonts.xml\\AllFonts\\Font has no \"Name\" attribute."), 1);
    EXPECT_EQ(m_log.Count("Warning: AllFonts.xml\\AllFonts\\Font has no \"FileName\" attribute."), 1);
    EXPECT_EQ(m_log.Count("Typeface"), 1);
    EXPECT_EQ(m_log.Count("WARNING! Unknown font name \"Odd\"."), 1);

    auto wrongRoot = MakeRoot("Fonts");
    AddElement(*wrongRoot, "Font", {{"Name", "Title"}, {"FileName", "title.xml"}});
    ASSERT_TRUE(wrongRoot->Save(InSandbox("Wrong.xml")));
    const int earlier =
        m_log.Count("Warning: AllFonts.xml was not loaded -- root must be named\"AllFonts\".");
    cache.LoadFontList(InSandbox("Wrong.xml"));
    EXPECT_FALSE(cache.GetFontFileName("Title", file));
    EXPECT_EQ(m_log.Count("Warning: AllFonts.xml was not loaded -- root must be named\"AllFonts\"."),
              earlier + 1);
}

TEST_F(BitmapFontTest, AnUnknownFontIsCachedOnceAndDrawsNothing) {
    CFontCache& cache = CFontCache::Instance();
    CBitmapFont* font = cache.GetFont("Nowhere");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(cache.GetFont("NOWHERE"), font);
    Device()->BeginScene();
    font->DrawText(0, 0, 0, 1, 1, "text", 0xFFFFFFFF, 0);
    Device()->EndScene();
    EXPECT_EQ(Record().draws.size(), 0u);
    EXPECT_GE(m_log.Count("WARNING! Unknown font name \"Nowhere\"."), 1);
}

}  // namespace
