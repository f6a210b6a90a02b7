#include "resource/translator.h"

#include <gtest/gtest.h>

#include "resource/xml_bml_converter.h"
#include "resource/xml_cache.h"
#include "tests/support/log_capture.h"
#include "tests/support/program_folder_sandbox.h"

namespace {

class TranslatorTest : public ::testing::Test {
protected:
    void TearDown() override { XmlCache::DestroyInstance(); }

    // Writes the table and returns its document name.
    std::string WriteTable(const enXml& root) {
        CXmlBmlConverter converter;
        EXPECT_TRUE(converter.ToBinary(root));
        m_sandbox.Write("Localisation.lbm", converter.Buffer());
        return m_sandbox.Relative() + "\\Localisation.xml";
    }

    static void AddPair(enXml& root, const char* source, const char* local) {
        enXml* pair = root.AddNewChild("Translator");
        pair->AddAttribute("String", source);
        pair->AddAttribute("LocalString", local);
    }

    zumbo::test::ProgramFolderSandbox m_sandbox;
};

TEST_F(TranslatorTest, TranslationIsAnExactCaseSensitiveMatch) {
    enXml root("localisation");  // the root name is compared ignoring case
    AddPair(root, "Install", "Installieren");
    AddPair(root, "", "(leer)");
    CTranslator translator(WriteTable(root));
    EXPECT_STREQ(translator.Translate("Install"), "Installieren");
    EXPECT_STREQ(translator.Translate("install"), "install");
    EXPECT_STREQ(translator.Translate(""), "(leer)");
    const std::string back = "Back";
    EXPECT_EQ(&translator.Translate(back), &back);
    EXPECT_EQ(translator.Translate(std::string("Install")), "Installieren");
}

TEST_F(TranslatorTest, AFoundEntryMovesToTheFront) {
    enXml root("Localisation");
    AddPair(root, "a", "1");
    AddPair(root, "b", "2");
    AddPair(root, "c", "3");
    CTranslator translator(WriteTable(root));
    const CTranslator::tEntry* c = translator.Find("c");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->local, "3");
    EXPECT_EQ(translator.Find("c"), c);
    EXPECT_EQ(translator.Find("x"), nullptr);
    EXPECT_EQ(translator.Size(), 3u);
}

TEST_F(TranslatorTest, ProblemsInTheTableAreLoggedAndSkipped) {
    enXml root("Localisation");
    AddPair(root, "Credits", "Mitwirkende");
    AddPair(root, "Credits", "Abspann");
    root.AddNewChild("Translation")->AddAttribute("String", "x");
    root.AddNewChild("Translator")->AddAttribute("LocalString", "y");
    root.AddNewChild("translator")->AddAttribute("String", "z");
    const std::string name = WriteTable(root);
    zumbo::test::LogCapture log(1);
    CTranslator translator(name);
    EXPECT_EQ(translator.Size(), 1u);
    EXPECT_STREQ(translator.Translate("Credits"), "Mitwirkende");
    EXPECT_EQ(
        log.Count("Warning: Localisation.xml\\Localisation\\Translator has duplicated \"String\" attribute: "
                  "Credits -- skipping (using first one)."),
        1);
    EXPECT_EQ(log.Count("Warning: Localisation.xml\\Localisation contains wrong tag: \"Translation\"."), 1);
    EXPECT_EQ(log.Count("Warning: Localisation.xml\\Localisation\\Translator has no \"String\" attribute."),
              1);
    EXPECT_EQ(
        log.Count("Warning: Localisation.xml\\Localisation\\Translator has no \"LocalString\" attribute."),
        1);
}

TEST_F(TranslatorTest, AWronglyNamedRootLeavesTheTableEmpty) {
    enXml root("Translations");
    AddPair(root, "Install", "Installieren");
    const std::string name = WriteTable(root);
    zumbo::test::LogCapture log(1);
    CTranslator translator(name);
    EXPECT_EQ(translator.Size(), 0u);
    EXPECT_STREQ(translator.Translate("Install"), "Install");
    EXPECT_EQ(log.Count("Warning: Localisation.xml was not loaded -- root must be named\"Localisation\"."),
              1);
}

TEST_F(TranslatorTest, AMissingTableTranslatesNothing) {
    CTranslator translator(m_sandbox.Relative() + "\\Localisation.xml");
    EXPECT_EQ(translator.Size(), 0u);
    EXPECT_STREQ(translator.Translate("Install"), "Install");
}

}  // namespace
