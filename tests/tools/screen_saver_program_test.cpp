#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <sndfile.h>

#include "tests/support/program_run.h"
#include "tests/tools/tool_run.h"

// The demo as the README starts it: the built group file in a program folder of its own. Button
// presses are posted the way a pressed button posts them, by a starter entity in a scene that
// overrides the packed one.
namespace {

namespace fs = std::filesystem;

const std::map<std::string, std::string> kHeadless{
    {"ZUMBO_HEADLESS", "1"}, {"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "60"}};

class ScreenSaverProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(fs::path(ZUMBO_BIN_DIR) / "ZumboSS.grp", m_folder.Path() / "ZumboSS.grp");
    }

    // A plain document beside the archive, converted to the binary form the program reads.
    void WriteDocument(const std::string& relativeLbm, const std::string& xml) {
        const fs::path text = m_folder.WriteFile(relativeLbm + ".xml", xml);
        const fs::path binary = m_folder.Path() / relativeLbm;
        ASSERT_EQ(zumbo::test::RunTool("zumbo-xml", {"to-lbm", text.string(), binary.string()}).exitCode, 0);
        fs::remove(text);
    }

    void LogLevel(int level) {
        WriteDocument("Options.lbm",
                      "<Options><iDebugInfoLevel Value=\"" + std::to_string(level) + "\"/></Options>");
    }

    // The cave scene with a starter that posts the messages once the scene runs.
    void SceneWithMessages(const std::vector<std::string>& messages) {
        std::string elements;
        for (const std::string& message : messages) {
            elements += "<sMessage Value=\"" + message + "\"/>";
        }
        WriteDocument("Entities/presser.lbm",
                      "<Entity Name=\"presser\"><AIList><PrefixAIList><AI Name=\"CAIFrontendStarter\">" +
                          elements + "<bDieOnFinish Value=\"true\"/></AI></PrefixAIList></AIList></Entity>");
        WriteDocument("Scenes/Intro.lbm",
                      "<Scene><AllEntities><Entity FileName=\"cave.xml\"/>"
                      "<Entity FileName=\"presser.xml\"/></AllEntities></Scene>");
    }

    // A program that writes its arguments, one a line, to a file beside it and ends.
    fs::path StandIn(const std::string& name) {
        const fs::path marker = m_folder.Path() / (name + ".args");
        const fs::path program = m_folder.WriteFile(
            name, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + marker.string() + "'\n");
        ::chmod(program.c_str(), 0755);
        return marker;
    }

    static std::string ReadText(const fs::path& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string Log() const {
        std::string text;
        for (const std::string& line : m_folder.LogLines()) {
            text += line + "\n";
        }
        return text;
    }

    zumbo::test::ProgramFolder m_folder;
};

TEST_F(ScreenSaverProgramTest, CreditsPressedTwiceWhileTheyLiveComeOnce) {
    LogLevel(3);
    SceneWithMessages({"ButtonPressed(Credits)", "ButtonPressed(credits)"});
    const auto result = m_folder.Run({}, kHeadless);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string log = Log();
    const auto dump = log.find("Active Entities:");
    ASSERT_NE(dump, std::string::npos);
    const std::string entities = log.substr(dump);
    const auto first = entities.find("\tCredits (visible)");
    EXPECT_NE(first, std::string::npos) << entities;
    EXPECT_EQ(entities.find("\tCredits (visible)", first + 1), std::string::npos) << "created once";
    EXPECT_NE(entities.find("Credit Line"), std::string::npos) << "its first line scrolls in";
}

TEST_F(ScreenSaverProgramTest, InstallReplacesTheProgramWithTheHostsInstaller) {
    const fs::path marker = StandIn("ZumboCave.scr");
    SceneWithMessages({"ButtonPressed(install)"});
    const auto result = m_folder.Run({}, kHeadless);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadText(marker), "/install\n");
    EXPECT_EQ(Log().find("Program Finished"), std::string::npos) << "replaced, not shut down";
}

TEST_F(ScreenSaverProgramTest, BackStartsTheGameNamedByTheRegistryOrLogsAndEnds) {
    SceneWithMessages({"ButtonPressed(Back)"});
    auto result = m_folder.Run({}, kHeadless);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(
        Log().find(
            "CAIScreenSaverLogic::BackToGame(): Failed to obtain necessary information from the registry"),
        std::string::npos);
    EXPECT_EQ(Log().find("Program Finished"), std::string::npos);

    const fs::path marker = StandIn("Game");
    std::ofstream registry(m_folder.RegistryFile());
    registry << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kervala Studio\\Zumbo\\1.0]\n@=\"Z:"
             << std::regex_replace((m_folder.Path() / "Game").string(), std::regex("/"), "\\\\\\\\")
             << "\"\n";
    registry.close();
    result = m_folder.Run({}, kHeadless);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(ReadText(marker), "/scene\nStartUp.xml\n");
}

// With the metrics cache written by a first run, ten seconds of the demo at level 1 log nothing
// but the program's start and end: the data has nothing broken or missing.
TEST_F(ScreenSaverProgramTest, TenSecondsOfTheDemoLogNoBrokenData) {
    LogLevel(1);
    const std::map<std::string, std::string> environment{
        {"ZUMBO_HEADLESS", "1"}, {"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "600"}};
    ASSERT_EQ(m_folder.Run({}, environment).exitCode, 0);
    const auto result = m_folder.Run({}, environment);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    for (const std::string& line : m_folder.LogLines()) {
        const bool frame = line.find("Program Started") != std::string::npos ||
                           line.find("Program Finished") != std::string::npos;
        EXPECT_TRUE(frame || line.empty()) << line;
    }
}

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* At(int x, int y) const { return &rgb[std::size_t((y * width + x) * 3)]; }
};

Picture ReadPicture(const fs::path& path) {
    Picture picture;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
    if (pixels != nullptr) {
        picture.rgb.assign(pixels, pixels + picture.width * picture.height * 3);
        stbi_image_free(pixels);
    }
    return picture;
}

// Under a display: the picture is the scene, not the clear colour, and the water moves.
TEST_F(ScreenSaverProgramTest, TheCaveIsDrawnAndItsWaterMoves) {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    m_folder.WriteScreenSaverSettings("\"FullScreen\"=dword:00000000\n");
    std::vector<Picture> shots;
    for (int ticks : {120, 150}) {
        const fs::path shot = m_folder.Path() / ("shot" + std::to_string(ticks) + ".png");
        const auto result = m_folder.Run({"/normalinput"}, {{"ZUMBO_FAST_CLOCK", "1"},
                                                            {"ZUMBO_MAX_TICKS", std::to_string(ticks)},
                                                            {"ZUMBO_SCREENSHOT", shot.string()}});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        shots.push_back(ReadPicture(shot));
        ASSERT_GT(shots.back().width, 0);
    }
    const Picture& first = shots[0];
    int background = 0;
    for (int y = 0; y < first.height; ++y) {
        for (int x = 0; x < first.width; ++x) {
            const unsigned char* p = first.At(x, y);
            background +=
                (p[0] == first.At(0, 0)[0] && p[1] == first.At(0, 0)[1] && p[2] == first.At(0, 0)[2]) ? 1 : 0;
        }
    }
    EXPECT_LT(background, first.width * first.height / 4) << "most of the screen is the scene";

    // The water fills the bottom of the screen, left and right of the menu.
    int changed = 0;
    for (int y = first.height * 85 / 100; y < first.height; ++y) {
        for (int x = 0; x < first.width / 4; ++x) {
            changed += std::memcmp(first.At(x, y), shots[1].At(x, y), 3) != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(changed, first.width / 4 * first.height * 15 / 100 / 10) << "the waves moved the water";
}

// Full screen, the window takes the display's size some frames after the switch; the picture
// must follow it to every corner, not stay in the corner of the window's first size.
TEST_F(ScreenSaverProgramTest, FullScreenFillsTheWholeScreen) {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    m_folder.WriteScreenSaverSettings("\"FullScreen\"=dword:00000001\n");
    const fs::path shot = m_folder.Path() / "full.png";
    const auto result =
        m_folder.Run({"/normalinput"}, {{"ZUMBO_MAX_TICKS", "180"}, {"ZUMBO_SCREENSHOT", shot.string()}});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const Picture picture = ReadPicture(shot);
    ASSERT_GT(picture.width, 800) << "the display offers more than the window's first size";
    // The cave's rock fills the top corners; an unfilled corner is one flat colour.
    for (int left : {0, picture.width * 3 / 4}) {
        const unsigned char* corner = picture.At(left, 0);
        int flat = 0;
        for (int y = 0; y < picture.height / 4; ++y) {
            for (int x = left; x < left + picture.width / 4; ++x) {
                flat += std::memcmp(picture.At(x, y), corner, 3) == 0 ? 1 : 0;
            }
        }
        EXPECT_LT(flat, picture.width / 4 * picture.height / 4 / 2) << "corner at x " << left;
    }
}

// What OpenAL Soft would play, recorded by its wave writer: the menu music fades in and sounds on.
TEST_F(ScreenSaverProgramTest, TheFirstSecondsAreNotSilent) {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    const fs::path recording = m_folder.Path() / "heard.wav";
    const fs::path config =
        m_folder.WriteFile("alsoft.conf", "drivers=wave\n[wave]\nfile=" + recording.string() + "\n");
    m_folder.WriteScreenSaverSettings("\"FullScreen\"=dword:00000000\n");
    const auto result =
        m_folder.Run({"/normalinput"}, {{"ALSOFT_CONF", config.string()}, {"ZUMBO_MAX_TICKS", "330"}});
    ASSERT_EQ(result.exitCode, 0) << result.output;

    SF_INFO info{};
    SNDFILE* file = sf_open(recording.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << "no recording";
    std::vector<float> samples(std::size_t(info.frames) * std::size_t(info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    // The recording starts when the device opens; the music comes once the scene is loaded,
    // which takes longer on a busy machine or under a sanitizer.
    const std::size_t channels = std::size_t(info.channels);
    const std::size_t second = std::size_t(info.samplerate) * channels;
    std::size_t onset = 0;
    while (onset < samples.size() && std::fabs(samples[onset]) < 1e-4f) {
        ++onset;
    }
    ASSERT_LT(onset, second * 5 / 2) << "the music starts within two and a half seconds";
    ASSERT_GE(samples.size(), onset + second * 3) << "three seconds recorded from the music's start";
    // The fade-in takes about a second; from then on every half second carries the music.
    const std::size_t half = second / 2;
    for (std::size_t start = onset + second; start + half <= onset + second * 3; start += half) {
        double energy = 0;
        for (std::size_t i = start; i < start + half; ++i) {
            energy += double(samples[i]) * samples[i];
        }
        EXPECT_GT(std::sqrt(energy / double(half)), 0.005) << "silent from sample " << start;
    }
}

// Without the group file there is no scene: the program says what it missed and ends as usual.
TEST(ScreenSaverWithoutDataTest, AProgramFolderWithoutTheGroupFileStillStartsAndEnds) {
    zumbo::test::ProgramFolder folder;
    const auto result = folder.Run({}, kHeadless);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::string log;
    for (const std::string& line : folder.LogLines()) {
        log += line + "\n";
    }
    EXPECT_NE(log.find("Intro.xml"), std::string::npos) << log;
    EXPECT_NE(log.find("=========== Program Finished ==========="), std::string::npos);
}

// The share of the screen covered by its most common colour: the clear colour where nothing is drawn.
double LargestColourShare(const Picture& picture) {
    std::map<std::array<unsigned char, 3>, int> counts;
    int largest = 0;
    for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        largest = std::max(largest, ++counts[{picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]}]);
    }
    return picture.rgb.empty() ? 1.0 : double(largest) / double(picture.width * picture.height);
}

// A data set with one part missing or damaged inside the group file.
enum class eDamage { NoMusic, NoFonts, TruncatedScene, SceneWithoutEntities };

struct tDamagedDataSet {
    const char* name;
    eDamage damage;
    // Each pair is found in one log line: what went wrong and the name of what is missing.
    std::vector<std::pair<const char*, const char*>> logged;
    bool drawsTheCave;
};

void PrintTo(const tDamagedDataSet& set, std::ostream* out) {
    *out << set.name;
}

class DamagedDataSetTest : public ScreenSaverProgramTest,
                           public ::testing::WithParamInterface<tDamagedDataSet> {
protected:
    // Unpacks the group file, damages one part, and packs it again in its place.
    void Damage(eDamage damage) {
        const fs::path unpacked = m_folder.Path() / "unpacked";
        const fs::path group = m_folder.Path() / "ZumboSS.grp";
        ASSERT_EQ(zumbo::test::RunTool("zumbo-grp", {"extract", group.string(), unpacked.string()}).exitCode,
                  0);
        switch (damage) {
            case eDamage::NoMusic:
                ASSERT_TRUE(fs::remove(unpacked / "Music" / "menu.ogg"));
                break;
            case eDamage::NoFonts:
                ASSERT_GT(fs::remove_all(unpacked / "Fonts"), 0u);
                break;
            case eDamage::TruncatedScene: {
                const fs::path scene = unpacked / "Scenes" / "Intro.lbm";
                fs::resize_file(scene, fs::file_size(scene) / 2);
                break;
            }
            case eDamage::SceneWithoutEntities:
                WriteDocument("unpacked/Scenes/Intro.lbm",
                              "<Entity Name=\"cave\"><Model FileName=\"cave.xml\"/></Entity>");
                break;
        }
        ASSERT_EQ(zumbo::test::RunTool("zumbo-grp", {"pack", unpacked.string(), group.string()}).exitCode, 0);
        fs::remove_all(unpacked);
    }
};

// Under a display the program draws and leaves a screenshot; without one it runs headless.
TEST_P(DamagedDataSetTest, StartsShowsWhatItCanLogsWhatIsMissingAndEnds) {
    Damage(GetParam().damage);
    LogLevel(3);
    const bool display = std::getenv("DISPLAY") != nullptr;
    const fs::path shot = m_folder.Path() / "shot.png";
    std::map<std::string, std::string> environment{{"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "120"}};
    if (display) {
        m_folder.WriteScreenSaverSettings("\"FullScreen\"=dword:00000000\n");
        environment["ZUMBO_SCREENSHOT"] = shot.string();
    } else {
        environment["ZUMBO_HEADLESS"] = "1";
    }
    const auto result = m_folder.Run({"/normalinput"}, environment);
    ASSERT_EQ(result.exitCode, 0) << result.output;

    const std::vector<std::string> lines = m_folder.LogLines();
    for (const auto& [failure, missing] : GetParam().logged) {
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const std::string& line) {
                                    return line.find(failure) != std::string::npos &&
                                           line.find(missing) != std::string::npos;
                                }))
            << failure << " ... " << missing << "\n"
            << Log();
    }
    EXPECT_NE(Log().find("=========== Program Finished ==========="), std::string::npos) << "a normal end";
    if (!display) {
        return;
    }
    const Picture picture = ReadPicture(shot);
    ASSERT_GT(picture.width, 0);
    if (GetParam().drawsTheCave) {
        EXPECT_LT(LargestColourShare(picture), 0.25) << "the cave is drawn";
    } else {
        EXPECT_GT(LargestColourShare(picture), 0.9) << "nothing to draw";
    }
}

INSTANTIATE_TEST_SUITE_P(
    DataSet, DamagedDataSetTest,
    ::testing::Values(tDamagedDataSet{"NoMusic",
                                      eDamage::NoMusic,
                                      {{"Failed to create music stream by file", "\\Music\\menu.ogg"}},
                                      true},
                      tDamagedDataSet{
                          "NoFonts",
                          eDamage::NoFonts,
                          {{"Failed to load XML", "Fonts\\AllFonts.xml"}, {"Unknown font name", "\"Menu\""}},
                          true},
                      tDamagedDataSet{"TruncatedScene",
                                      eDamage::TruncatedScene,
                                      {{"Failed to load XML", "\\Scenes\\Intro.xml"}},
                                      false},
                      tDamagedDataSet{"SceneWithoutEntities",
                                      eDamage::SceneWithoutEntities,
                                      {{"does not contain entities", "Scene Intro.xml"}},
                                      false}),
    [](const ::testing::TestParamInfo<tDamagedDataSet>& info) { return std::string(info.param.name); });

}  // namespace
