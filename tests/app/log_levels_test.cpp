// The debug level of the options decides which of the program's levelled lines are written.

#include <gtest/gtest.h>

#include <algorithm>

#include "resource/xml.h"
#include "resource/xml_bml_converter.h"
#include "tests/support/program_run.h"

namespace {

using zumbo::test::ProgramFolder;

void Store(const ProgramFolder& folder, const std::string& relative, const enXml& root) {
    CXmlBmlConverter converter;
    ASSERT_TRUE(converter.ToBinary(root));
    folder.WriteFile(relative, std::string(converter.Buffer().begin(), converter.Buffer().end()));
}

// A scene of one entity that lives a single tick, with the given debug level.
void LayOut(const ProgramFolder& folder, int level) {
    enXml options("Options");
    options.AddNewChild("iDebugInfoLevel")->AddAttribute("Value", std::to_string(level));
    Store(folder, "Options.lbm", options);

    enXml scene("Scene");
    scene.AddNewChild("AllEntities")->AddNewChild("Entity")->AddAttribute("FileName", "flash.xml");
    Store(folder, "Scenes/Intro.lbm", scene);

    enXml flash("Entity");
    flash.AddAttribute("Name", "flash");
    flash.AddNewChild("AIList")->AddNewChild("AILifeTime")->AddAttribute("Name", "CAISingleTickLifeTime");
    Store(folder, "Entities/flash.lbm", flash);
}

// Log lines read "0012 (10:11:12.013): message".
bool Logged(const std::vector<std::string>& lines, const std::string& message) {
    const std::string ending = "): " + message;
    return std::any_of(lines.begin(), lines.end(), [&ending](const std::string& line) {
        return line.size() >= ending.size() &&
               line.compare(line.size() - ending.size(), ending.size(), ending) == 0;
    });
}

TEST(LogLevelsTest, EachLevelAddsItsLinesToThoseBelowIt) {
    // One line of each level, from 1 (broken data, the command line) to 5 (entity kills).
    const std::vector<std::string> levelled = {"CommandLine: /normalinput", "Load scene: Intro.xml.",
                                               "--- Game second mark ---", "Render All Entities",
                                               "Entity \"flash\" was killed."};
    for (int level = 0; level <= 5; ++level) {
        ProgramFolder folder;
        LayOut(folder, level);
        const auto result =
            folder.Run({"/normalinput"},
                       {{"ZUMBO_HEADLESS", "1"}, {"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "40"}});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        const auto lines = folder.LogLines();
        EXPECT_TRUE(Logged(lines, "=========== Program Started ============")) << "level " << level;
        EXPECT_TRUE(Logged(lines, "=========== Program Finished ===========")) << "level " << level;
        for (int lineLevel = 1; lineLevel <= 5; ++lineLevel) {
            EXPECT_EQ(Logged(lines, levelled[lineLevel - 1]), lineLevel <= level)
                << "\"" << levelled[lineLevel - 1] << "\" at level " << level;
        }
    }
}

}  // namespace
