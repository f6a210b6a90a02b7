#include "engine/global_options.h"

#include <filesystem>

#include "resource/xml_cache.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

namespace {

using zumbo::test::AddElement;
using zumbo::test::AddValue;
using zumbo::test::MakeRoot;

class GlobalOptionsTest : public EngineTest {
protected:
    std::string DocumentName() const { return m_folder.WindowsPath() + "Options.xml"; }

    // The saved document as the program reads it.
    const enXml* SavedDocument() const { return XmlCache::Instance().Load(DocumentName()); }

    zumbo::test::TempDir m_folder;
};

TEST_F(GlobalOptionsTest, WithoutAFileEveryOptionKeepsItsDefault) {
    CGlobalOptions& options = CGlobalOptions::Instance();
    options.iMusicVolume = 3;
    options.controls = MakeRoot("Controls");
    options.Load(DocumentName());
    EXPECT_EQ(1, options.iDebugInfoLevel);
    EXPECT_EQ(100, options.iMusicVolume);
    EXPECT_EQ(100, options.iSoundVolume);
    EXPECT_EQ(-1.0f, options.p3LightVector[0]);
    EXPECT_EQ(-1.0f, options.p3LightVector[1]);
    EXPECT_EQ(-0.5f, options.p3LightVector[2]);
    EXPECT_EQ(nullptr, options.controls);
}

TEST_F(GlobalOptionsTest, AFileWithOneOptionChangesOnlyThatOne) {
    auto root = MakeRoot("Settings");  // the root's name is not checked
    AddValue(*root, "iMusicVolume", "40");
    ASSERT_TRUE(root->Save(DocumentName()));
    CGlobalOptions& options = CGlobalOptions::Instance();
    options.Load(DocumentName());
    EXPECT_EQ(40, options.iMusicVolume);
    EXPECT_EQ(100, options.iSoundVolume);
    EXPECT_EQ(1.0f, options.fMouseSensivity);
    EXPECT_FALSE(options.bMute);
}

TEST_F(GlobalOptionsTest, ADamagedFileLeavesTheDefaults) {
    m_folder.Write("Options.lbm", "not the binary form of any document");
    CGlobalOptions& options = CGlobalOptions::Instance();
    options.iDebugInfoLevel = 4;
    options.Load(DocumentName());
    EXPECT_EQ(1, options.iDebugInfoLevel);
}

TEST_F(GlobalOptionsTest, SavesEveryOptionInOrderWithTheControlsLast) {
    CGlobalOptions& options = CGlobalOptions::Instance();
    options.ResetToDefaults();
    options.bMute = true;
    options.iDebugInfoLevel = 3;
    options.controls = MakeRoot("Controls");
    AddElement(*options.controls, "Action", {{"Name", "Left"}, {"Key", "203"}});
    options.Save(DocumentName());

    const enXml* saved = SavedDocument();
    ASSERT_NE(nullptr, saved);
    EXPECT_EQ("Options", saved->GetName()->Text());
    std::vector<std::pair<std::string, std::string>> children;
    for (const enXml* child = saved->FirstChild(); child; child = child->NextSibling()) {
        std::string value;
        child->GetAttributeString("Value", value);
        children.emplace_back(child->GetName()->Text(), value);
    }
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"bRenderBoundingBoxes", "false"},
        {"bRenderEggs", "false"},
        {"bRenderShadows", "false"},
        {"p3LightVector", "-1,-1,-0.5"},
        {"bActivateJoystick", "false"},
        {"fMouseSensivity", "1"},
        {"fKeyboardSensivity", "1"},
        {"fJoystickSensivity", "1"},
        {"iMusicVolume", "100"},
        {"iSoundVolume", "100"},
        {"bMute", "true"},
        {"iDebugInfoLevel", "3"},
        {"Controls", ""},
    };
    EXPECT_EQ(expected, children);
    std::string key;
    EXPECT_TRUE(saved->GetChild("Controls")->GetChild("Action")->GetAttributeString("Key", key));
    EXPECT_EQ("203", key);
    // Only the finished file is left behind.
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(m_folder.Path()), {}));
}

TEST_F(GlobalOptionsTest, SavedOptionsLoadBackWithTheirControls) {
    CGlobalOptions& options = CGlobalOptions::Instance();
    options.fJoystickSensivity = 2.5f;
    options.p3LightVector[2] = 4.0f;
    options.bRenderEggs = true;
    options.controls = MakeRoot("Controls");
    AddElement(*options.controls, "Joystick", {{"Dead", "10"}});
    options.Save(DocumentName());
    options.ResetToDefaults();

    options.Load(DocumentName());
    EXPECT_EQ(2.5f, options.fJoystickSensivity);
    EXPECT_EQ(4.0f, options.p3LightVector[2]);
    EXPECT_TRUE(options.bRenderEggs);
    ASSERT_NE(nullptr, options.controls);
    EXPECT_NE(nullptr, options.controls->GetChild("Joystick"));
}

}  // namespace
