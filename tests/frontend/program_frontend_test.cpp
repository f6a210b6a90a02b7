// The real program, headless, on a scene with a frontend: the manager runs in the game tick,
// carries out the messages a starter posts and reports bad frontend data without stopping.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "resource/xml.h"
#include "tests/support/program_run.h"
#include "tests/support/xml_builder.h"

using namespace zumbo::test;
namespace fs = std::filesystem;

namespace {

class ProgramFrontendTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_folder.Path() / "Scenes");
        fs::create_directories(m_folder.Path() / "Entities");
        auto options = MakeRoot("Options");
        AddValue(*options, "iDebugInfoLevel", "2");
        Save(*options, "Options.xml");
        auto scene = MakeRoot("Scene");
        enXml& list = AddElement(*scene, "AllEntities");
        for (const char* file : {"starter.xml", "main.xml", "play.xml", "again.xml"}) {
            AddElement(list, "Entity", {{"FileName", file}});
        }
        Save(*scene, "Scenes\\Intro.xml");
        SaveEntity("starter", "CAIFrontendStarter",
                   {{"sStartDialogID", "Main"}, {"sMessage", "FrontendSwitchDialog(Nowhere)"}});
        SaveEntity("main", "CAIDialog", {{"sID", "Main"}});
        SaveEntity("play", "CAIButton", {{"sID", "Play"}, {"sOwnerID", "Main"}});
        SaveEntity("again", "CAIButton", {{"sID", "PLAY"}});
    }
    void Save(const enXml& root, const std::string& relative) {
        ASSERT_TRUE(SaveBelow(root, m_folder.Path(), relative));
    }
    void SaveEntity(const char* name, const char* component, Attributes properties) {
        auto entity = MakeRoot("Entity", {{"Name", name}});
        enXml& ai = AddElement(AddElement(AddElement(*entity, "AIList"), "SuffixAIList"), "AI",
                               {{"Name", component}});
        for (const auto& [property, value] : properties) {
            AddValue(ai, property, value);
        }
        Save(*entity, std::string("Entities\\") + name + ".xml");
    }
    bool Logged(const std::string& message) const {
        const auto lines = m_folder.LogLines();
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.ends_with("): " + message); });
    }

    ProgramFolder m_folder;
};

TEST_F(ProgramFrontendTest, StarterMessagesReachTheManagerAndBadDataIsReported) {
    const RunResult result =
        m_folder.Run({}, {{"ZUMBO_HEADLESS", "1"}, {"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "20"}});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_TRUE(Logged("Warning: Trying to register control with non-unique ID: \"PLAY\". Skipping."));
    EXPECT_TRUE(Logged("Warning: Unable to find dialog by the following ID \"Nowhere\"."));
    EXPECT_TRUE(Logged("=========== Program Finished ==========="));
}

}  // namespace
