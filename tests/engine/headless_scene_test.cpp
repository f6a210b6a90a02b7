// The real program, headless, on the small scene in tests/data/headless_scene: after N ticks
// its exit dump holds the world placements that the motion components predict, and the broken
// pieces of the scene are reported without stopping the rest.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "tests/support/program_run.h"

namespace {

namespace fs = std::filesystem;

constexpr int kTicks = 30;

// Converts every text document of the scene into its binary form inside the program folder.
void LayOutScene(const zumbo::test::ProgramFolder& folder) {
    const fs::path source = fs::path(ZUMBO_SOURCE_DIR) / "tests" / "data" / "headless_scene";
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        if (entry.path().extension() != ".xml") {
            continue;
        }
        fs::path target = folder.Path() / fs::relative(entry.path(), source);
        target.replace_extension(".lbm");
        fs::create_directories(target.parent_path());
        const std::string command = std::string("\"") + ZUMBO_TOOLS_DIR + "/zumbo-xml\" to-lbm \"" +
                                    entry.path().string() + "\" \"" + target.string() + "\"";
        ASSERT_EQ(0, std::system(command.c_str())) << command;
    }
}

// The message of each log line ("0012 (10:11:12.013): message").
std::vector<std::string> Messages(const std::vector<std::string>& lines) {
    std::vector<std::string> messages;
    for (const std::string& line : lines) {
        const auto separator = line.find("): ");
        messages.push_back(separator == std::string::npos ? line : line.substr(separator + 3));
    }
    return messages;
}

// The four matrix rows dumped after the line naming the entity.
std::vector<std::vector<double>> DumpedRows(const std::vector<std::string>& messages,
                                            const std::string& header) {
    std::vector<std::vector<double>> rows;
    const auto found = std::find(messages.begin(), messages.end(), header);
    for (auto line = found; line != messages.end() && rows.size() < 4;) {
        if (++line == messages.end()) {
            break;
        }
        std::istringstream numbers(*line);
        std::vector<double> row(4);
        for (double& value : row) {
            numbers >> value;
        }
        rows.push_back(row);
    }
    return rows;
}

void ExpectRows(const std::vector<std::vector<double>>& expected,
                const std::vector<std::vector<double>>& actual, const std::string& what) {
    ASSERT_EQ(expected.size(), actual.size()) << what;
    for (std::size_t row = 0; row < expected.size(); ++row) {
        for (std::size_t column = 0; column < 4; ++column) {
            // The dump prints six decimals.
            EXPECT_NEAR(expected[row][column], actual[row][column], 2e-6)
                << what << " row " << row << " column " << column;
        }
    }
}

class HeadlessSceneTest : public ::testing::Test {
protected:
    void SetUp() override { LayOutScene(m_folder); }

    zumbo::test::RunResult Run() {
        return m_folder.Run({}, {{"ZUMBO_HEADLESS", "1"},
                                 {"ZUMBO_FAST_CLOCK", "1"},
                                 {"ZUMBO_MAX_TICKS", std::to_string(kTicks)}});
    }

    zumbo::test::ProgramFolder m_folder;
};

TEST_F(HeadlessSceneTest, TheExitDumpHoldsThePlacementsTheMotionComponentsPredict) {
    const auto result = Run();
    ASSERT_EQ(0, result.exitCode) << result.output;
    const auto messages = Messages(m_folder.LogLines());

    // Climbing 30 units a second, 0.5 a tick.
    const double height = kTicks * 30.0 / 60.0;
    // Turning 90 degrees a second.
    const double angle = kTicks * 90.0 / 60.0 * M_PI / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    ExpectRows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, height, 0, 1}},
               DumpedRows(messages, "\tmover (visible)"), "mover");
    // Placed 2 along x on the mover.
    ExpectRows({{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {2, height, 0, 1}},
               DumpedRows(messages, "\t\twheel (visible)"), "wheel on the mover");
    // The catalogue's wheel stands at the origin.
    ExpectRows({{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}},
               DumpedRows(messages, "\twheel (visible)"), "wheel of the catalogue");
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "Active Entities:"));
    EXPECT_NE(messages.end(), std::find(messages.begin(), messages.end(), "\tbroken (visible)"));
}

TEST_F(HeadlessSceneTest, BrokenDataIsReportedAndTheRestOfTheSceneRuns) {
    const auto result = Run();
    ASSERT_EQ(0, result.exitCode) << result.output;
    const auto messages = Messages(m_folder.LogLines());
    const auto logged = [&messages](const std::string& text) {
        return std::find(messages.begin(), messages.end(), text) != messages.end();
    };
    EXPECT_TRUE(
        logged("Failed to create AI by name: \"CAIWobble\" -- unregistered class name (for the entity "
               "\"broken\")."));
    EXPECT_TRUE(logged("Entity Manager Warning: Can't create entity by name: Ghost"));
    EXPECT_TRUE(
        logged("Warning: AllEntities.xml\\AllEntities\\Entity has duplicated \"Name\" attribute: WHEEL -- "
               "skipping (using first one)."));
    const auto noList = std::find_if(messages.begin(), messages.end(), [](const std::string& message) {
        return message.rfind("Error: entity XML ", 0) == 0 &&
               message.find("nolist.lbm does not contain AIList tag.") != std::string::npos;
    });
    EXPECT_NE(messages.end(), noList);
    EXPECT_FALSE(logged("\tnolist (visible)"));
    EXPECT_TRUE(logged("\tmover (visible)"));
    EXPECT_TRUE(logged("=========== Program Finished ==========="));
}

TEST_F(HeadlessSceneTest, ABrokenOptionsFileLeavesTheDefaultsAndTheProgramRuns) {
    m_folder.WriteFile("Options.lbm", "this is no options document");
    const auto result = Run();
    ASSERT_EQ(0, result.exitCode) << result.output;
    const auto messages = Messages(m_folder.LogLines());
    // Debug level 1: no dump.
    EXPECT_EQ(messages.end(), std::find(messages.begin(), messages.end(), "Active Entities:"));
    EXPECT_NE(messages.end(),
              std::find(messages.begin(), messages.end(), "=========== Program Finished ==========="));
}

}  // namespace
