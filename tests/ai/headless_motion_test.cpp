// Runs the real program headless on a two-entity scene and compares the world placement rows
// of its exit dump with what the motion components predict.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/d3dx8/math.h"
#include "resource/xml.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

using zumbo::test::ScopedEnvironmentVariable;
using zumbo::test::TempDir;

constexpr int kTicks = 90;

void AddValue(enXml& parent, const char* name, const char* value) {
    parent.AddNewChild(name)->AddAttribute("Value", value);
}

void AddComponent(enXml& list, const char* className, const char* property, const char* value) {
    enXml* component = list.AddNewChild("AI");
    component->AddAttribute("Name", className);
    AddValue(*component, property, value);
}

void Save(const enXml& document, const std::filesystem::path& folder, const std::string& windowsFolder,
          const char* file) {
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(document.Save(windowsFolder + file)) << file;
}

// "spinner" turns about z at 90 degrees per second and climbs 30 units per second; its
// sub-entity "moon", placed 2 units along x, turns about y at 180 degrees per second.
void WriteScene(const TempDir& folder) {
    const std::string root = folder.WindowsPath();

    enXml options("Options");
    AddValue(options, "iDebugInfoLevel", "3");
    Save(options, folder.Path(), root, "Options.xml");

    enXml scene("Scene");
    scene.AddNewChild("AllEntities")->AddNewChild("Entity")->AddAttribute("FileName", "Spinner.xml");
    Save(scene, folder.Path() / "Scenes", root + "Scenes\\", "Intro.xml");

    enXml spinner("Entity");
    spinner.AddAttribute("Name", "spinner");
    enXml* moonElement = spinner.AddNewChild("SubEntityList")->AddNewChild("SubEntity");
    moonElement->AddAttribute("FileName", "Moon.xml");
    AddValue(*moonElement, "p3Position", "2,0,0");
    enXml* spinnerList = spinner.AddNewChild("AIList")->AddNewChild("SuffixAIList");
    AddComponent(*spinnerList, "CAIRotateZ", "fRotateSpeed", "90");
    AddComponent(*spinnerList, "CAIMoveY", "fSpeed", "30");
    Save(spinner, folder.Path() / "Entities", root + "Entities\\", "Spinner.xml");

    enXml moon("Entity");
    moon.AddAttribute("Name", "moon");
    AddComponent(*moon.AddNewChild("AIList")->AddNewChild("SuffixAIList"), "CAIRotateY", "fRotateSpeed",
                 "180");
    Save(moon, folder.Path() / "Entities", root + "Entities\\", "Moon.xml");
}

// The world placements after kTicks ticks, in closed form. Rows are row vectors with the
// translation last; a rotation by a about z has rows (cos a, sin a, 0), (-sin a, cos a, 0), and
// about y rows (cos a, 0, -sin a), (0, 1, 0), (sin a, 0, cos a).
//   spinner: 90 ticks of 1.5 degrees about z = 135 degrees, then 90 ticks of 0.5 up = 45 units.
//   moon: 90 ticks of 3 degrees about y = 270 degrees (rows (0,0,1), (0,1,0), (-1,0,0)), then
//         the offset (2, 0, 0), then the spinner's world placement.
void Predict(D3DXMATRIX& spinner, D3DXMATRIX& moon) {
    const float h = std::sqrt(0.5f);             // cos 45 degrees
    const float c = -h, s = h;                   // cos and sin of 135 degrees
    spinner = D3DXMATRIX(c, s, 0, 0,             //
                         -s, c, 0, 0,            //
                         0, 0, 1, 0,             //
                         0, 45, 0, 1);           //
    moon = D3DXMATRIX(0, 0, 1, 0,                // (0, 0, 1) x spinner
                      -s, c, 0, 0,               // (0, 1, 0) x spinner
                      -c, -s, 0, 0,              // (-1, 0, 0) x spinner
                      2 * c, 2 * s + 45, 0, 1);  // (2, 0, 0) x spinner + (0, 45, 0)
}

std::vector<std::string> ReadMessages(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> messages;
    std::string line;
    while (std::getline(in, line)) {
        const auto separator = line.find("): ");
        if (separator != std::string::npos) {
            messages.push_back(line.substr(separator + 3));
        }
    }
    return messages;
}

// The four rows logged after the dump line of the named entity.
std::vector<std::vector<float>> DumpedRows(const std::vector<std::string>& messages,
                                           const std::string& header) {
    std::vector<std::vector<float>> rows;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (messages[i] != header) {
            continue;
        }
        for (std::size_t row = i + 1; row < messages.size() && rows.size() < 4; ++row) {
            std::istringstream numbers(messages[row]);
            std::vector<float> values(4);
            numbers >> values[0] >> values[1] >> values[2] >> values[3];
            rows.push_back(values);
        }
        break;
    }
    return rows;
}

void ExpectRows(const D3DXMATRIX& expected, const std::vector<std::vector<float>>& rows) {
    ASSERT_EQ(4u, rows.size());
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            // Six printed decimals and the rounding of 90 single-precision steps.
            EXPECT_NEAR(expected.m[row][col], rows[row][col], 1e-5f)
                << "row " << row + 1 << " column " << col + 1;
        }
    }
}

}  // namespace

TEST(HeadlessMotion, ExitDumpHoldsThePredictedWorldPlacements) {
    const TempDir folder;
    WriteScene(folder);
    const std::filesystem::path program = folder.Path() / "ZumboCave.exe";
    std::filesystem::copy_file(std::filesystem::path(ZUMBO_BIN_DIR) / "ZumboCave.exe", program);

    const ScopedEnvironmentVariable headless("ZUMBO_HEADLESS", "1");
    const ScopedEnvironmentVariable fastClock("ZUMBO_FAST_CLOCK", "1");
    const ScopedEnvironmentVariable maxTicks("ZUMBO_MAX_TICKS", std::to_string(kTicks));
    const ScopedEnvironmentVariable registry("ZUMBO_REGISTRY", (folder.Path() / "registry.reg").string());
    const ScopedEnvironmentVariable driveC("ZUMBO_DRIVE_C", (folder.Path() / "drive_c").string());
    ASSERT_EQ(0, std::system(("\"" + program.string() + "\"").c_str()));

    const std::vector<std::string> messages = ReadMessages(folder.Path() / "DebugLogs" / "Debug0000.log");
    D3DXMATRIX spinner, moon;
    Predict(spinner, moon);
    ExpectRows(spinner, DumpedRows(messages, "\tspinner (visible)"));
    ExpectRows(moon, DumpedRows(messages, "\t\tmoon (visible)"));
}
