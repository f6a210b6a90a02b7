// Entities with text labels drawn by the entity manager through the font cache.

#include <gtest/gtest.h>

#include "engine/entity.h"
#include "engine/ga_entity_manager.h"
#include "render/font_cache.h"
#include "resource/paths.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/font_image_builder.h"
#include "tests/support/render_application.h"
#include "tests/support/xml_builder.h"

namespace {

using zumbo::test::AddElement;
using zumbo::test::AddValue;
using zumbo::test::MakeRoot;

class TextLabelTest : public zumbo::test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        m_sandbox.Write("font.tga", zumbo::test::FontImageBuilder(2, 4, {6}).Tga());
        auto font = MakeRoot("Font");
        AddElement(*font, "Image", {{"FileName", "font.tga"}});
        enXml& letters = AddElement(*font, "Letters");
        AddElement(letters, "Letter", {{"Char", "H"}});
        AddElement(letters, "Letter", {{"Char", "i"}});
        ASSERT_TRUE(font->Save(InSandbox("font.xml")));
        auto list = MakeRoot("AllFonts");
        // Font files are named relative to the "Fonts" folder of the program.
        AddElement(*list, "Font",
                   {{"Name", "Label"}, {"FileName", "..\\" + m_sandbox.Relative() + "\\font.xml"}});
        ASSERT_TRUE(list->Save(InSandbox("AllFonts.xml")));
        CFontCache::Instance().LoadFontList(InSandbox("AllFonts.xml"));
    }
    void TearDown() override {
        DestroyEngineManagers();
        RenderTest::TearDown();
    }

    CEntity* LabelEntity(const std::string& fontName, bool visible) {
        auto entity = MakeRoot("Entity", {{"Name", "Label"}});
        AddValue(*entity, "bTextLabel", "true");
        AddValue(*entity, "bVisible", visible ? "true" : "false");
        AddValue(*entity, "sFontName", fontName);
        AddValue(*entity, "sDefaultText", "Hi");
        AddValue(*entity, "sDefaultText", "iH");
        entity->AddNewChild("AIList");
        const std::string path = InSandbox(fontName + (visible ? "1" : "0") + ".xml");
        EXPECT_TRUE(entity->Save(path));
        return gaEntityManager::Instance().CreateEntityFromFile(path);
    }
};

TEST_F(TextLabelTest, AVisibleLabelDrawsEveryCharacterOfItsLines) {
    ASSERT_NE(LabelEntity("label", true), nullptr);
    gaEntityManager::Instance().Tick();
    Device()->BeginScene();
    gaEntityManager::Instance().RenderAll();
    Device()->EndScene();
    ASSERT_EQ(Record().draws.size(), 1u);
    EXPECT_EQ(Record().draws[0].primitiveCount, 8u);  // four characters on two lines
    EXPECT_EQ(m_log.Count("Load font: "), 1);
}

TEST_F(TextLabelTest, HiddenLabelsAndLabelsWithoutAFontDrawNothing) {
    ASSERT_NE(LabelEntity("Label", false), nullptr);
    ASSERT_NE(LabelEntity("Unknown", true), nullptr);
    gaEntityManager::Instance().Tick();
    Device()->BeginScene();
    gaEntityManager::Instance().RenderAll();
    Device()->EndScene();
    EXPECT_EQ(Record().draws.size(), 0u);
    EXPECT_GE(m_log.Count("WARNING! Unknown font name \"Unknown\"."), 1);
}

}  // namespace
