#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/tools/tool_run.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGroupFile = fs::path(ZUMBO_BIN_DIR) / "ZumboSS.grp";

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

// The names the program looks for, and what the data's documents name, are all in the archive,
// and only in their binary form.
TEST(DemoDataTest, GroupFileHoldsEveryDocumentAndAssetTheProgramLooksFor) {
    ASSERT_TRUE(fs::exists(kGroupFile));
    const auto listing = zumbo::test::RunTool("zumbo-grp", {"list", kGroupFile.string()});
    ASSERT_EQ(listing.exitCode, 0) << listing.err;
    std::vector<std::string> names;
    std::istringstream lines(listing.out);
    for (std::string line; std::getline(lines, line);) {
        names.push_back(line.substr(0, line.find('\t')));
    }
    for (const char* name :
         {"Scenes\\Intro.lbm",    "AllEntities.lbm",       "Localisation.lbm",     "Options.lbm",
          "Fonts\\AllFonts.lbm",  "Fonts\\menu_font.lbm",  "Fonts\\menu_font.png", "Fonts\\title_font.lbm",
          "Sound\\AllSounds.lbm", "Sound\\click.wav",      "Music\\menu.ogg",      "Entities\\cave.lbm",
          "Entities\\water.lbm",  "Entities\\credits.lbm", "Models\\cave.lbm",     "Models\\cave.x",
          "Models\\rock.png",     "Models\\water.lbm",     "Models\\water.x",      "Models\\water.png"}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
    }
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& name) { return name.ends_with(".xml"); }),
              0);
}

// A program folder with nothing but the program and the archive starts the scene from it; a plain
// options file beside the archive overrides the packed one.
TEST(DemoDataTest, ProgramLoadsTheIntroSceneAndItsEntitiesFromTheGroupFile) {
    zumbo::test::ProgramFolder folder;
    fs::copy_file(kGroupFile, folder.Path() / "ZumboSS.grp");
    const std::map<std::string, std::string> environment{
        {"ZUMBO_HEADLESS", "1"}, {"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "30"}};
    auto result = folder.Run({}, environment);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_FALSE(Contains(folder.LogLines(), "Load scene: Intro.xml."))
        << "the packed options log level 1 only";

    const fs::path options =
        folder.WriteFile("Options.xml", "<Options><iDebugInfoLevel Value=\"3\"/></Options>");
    ASSERT_EQ(zumbo::test::RunTool("zumbo-xml",
                                   {"to-lbm", options.string(), (folder.Path() / "Options.lbm").string()})
                  .exitCode,
              0);
    result = folder.Run({}, environment);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::vector<std::string> lines = folder.LogLines();
    EXPECT_TRUE(Contains(lines, "Load scene: Intro.xml."));
    EXPECT_TRUE(Contains(lines, "scenes\\intro.lbm"));
    EXPECT_TRUE(Contains(lines, "entities\\cave.lbm"));
    EXPECT_TRUE(Contains(lines, "entities\\water.lbm"));
    EXPECT_FALSE(Contains(lines, "does not contain entities"));
    EXPECT_TRUE(Contains(lines, "=========== Program Finished ==========="));
}

}  // namespace
