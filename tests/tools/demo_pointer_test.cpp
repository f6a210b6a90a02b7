// The demo as the README starts it, windowed at 640 x 480 under X with input that does not end it:
// xdotool moves the real pointer onto the menu's "Credits" button and clicks it. The button's faces
// are read back from the window and the credits entity is seen in the log's entity dump. Needs a
// display (the tests run under Xvfb) and xdotool.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/program_run.h"
#include "tests/support/program_window.h"
#include "tests/support/xdotool.h"
#include "tests/tools/tool_run.h"

using namespace zumbo::test;
namespace fs = std::filesystem;

namespace {

// The window is the virtual 640 x 480 screen, pixel for pixel.
constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The menu sits at (320, 250); "Install" is 70 above it, "Credits" 70 below. Each face is 220 x 56.
constexpr int kButtonX = 320;
constexpr int kInstallY = 250 - 70;
constexpr int kCreditsY = 250 + 70;
// The pointer component starts the cursor here.
constexpr int kCursorStartX = 320;
constexpr int kCursorStartY = 400;

// Points on a face clear of its centred caption and of the pointer's picture.
constexpr int kSampleDx[] = {-90, 90};
constexpr int kSampleDy[] = {-12, 12};

// The faces are 86 % opaque; mid-height the normal face's blue is about 129, the hovered face's
// 223 and the pressed face's 70, while its red rises from about 70 (hovered) to 235 (pressed).
// Half of those steps tells the faces apart over whatever shows through.
constexpr int kHoverBlueRise = 40;
constexpr int kPressRedRise = 70;

int Red(std::uint32_t colour) {
    return int(colour >> 16 & 0xFF);
}
int Blue(std::uint32_t colour) {
    return int(colour & 0xFF);
}

// The colours at a button's sample points, in a fixed order.
using FaceSamples = std::vector<std::uint32_t>;

class DemoPointerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveDisplayAndXdotool()) {
            GTEST_SKIP() << "no display or no xdotool";
        }
        fs::copy_file(fs::path(ZUMBO_BIN_DIR) / "ZumboSS.grp", m_folder.Path() / "ZumboSS.grp");
        m_folder.WriteScreenSaverSettings(
            "\"FullScreen\"=dword:00000000\n\"Width\"=dword:00000280\n\"Height\"=dword:000001e0\n");
        LogEntitiesWithTheShippedOptions();
    }
    // The shipped options, pointer sensitivity included, with the log level raised to 2 so that
    // the program's end dumps its entities; placed beside the archive, where they take precedence.
    void LogEntitiesWithTheShippedOptions() {
        const fs::path unpacked = m_folder.Path() / "unpacked";
        ASSERT_EQ(
            RunTool("zumbo-grp", {"extract", (m_folder.Path() / "ZumboSS.grp").string(), unpacked.string()})
                .exitCode,
            0);
        const fs::path text = m_folder.Path() / "Options.xml";
        ASSERT_EQ(
            RunTool("zumbo-xml", {"to-xml", (unpacked / "Options.lbm").string(), text.string()}).exitCode, 0);
        std::stringstream options;
        options << std::ifstream(text).rdbuf();
        const std::regex level("<iDebugInfoLevel Value=\"[0-9]+\"");
        ASSERT_TRUE(std::regex_search(options.str(), level)) << options.str();
        std::ofstream(text) << std::regex_replace(options.str(), level, "<iDebugInfoLevel Value=\"2\"");
        ASSERT_EQ(RunTool("zumbo-xml", {"to-lbm", text.string(), (m_folder.Path() / "Options.lbm").string()})
                      .exitCode,
                  0);
        fs::remove(text);
        fs::remove_all(unpacked);
    }

    static FaceSamples Face(const std::vector<std::uint32_t>& pixels, int buttonY) {
        FaceSamples samples;
        for (int dx : kSampleDx) {
            for (int dy : kSampleDy) {
                samples.push_back(pixels[std::size_t(buttonY + dy) * kWidth + std::size_t(kButtonX + dx)]);
            }
        }
        return samples;
    }
    // True when every sample of the face rose by at least rise in the channel over the reference.
    template <class Channel>
    static bool RoseAbove(const FaceSamples& face, const FaceSamples& reference, Channel channel, int rise) {
        for (std::size_t i = 0; i < face.size(); ++i) {
            if (channel(face[i]) < channel(reference[i]) + rise) {
                return false;
            }
        }
        return true;
    }
    // Polls the window until the condition holds for the Credits face; keeps the last face seen.
    template <class Condition>
    bool WaitForCreditsFace(Condition condition) {
        return WaitFor([&] {
            const std::vector<std::uint32_t> pixels = m_program.Pixels();
            if (pixels.empty()) {
                return false;
            }
            m_lastCredits = Face(pixels, kCreditsY);
            return condition(m_lastCredits);
        });
    }
    // The water at the bottom left moves every tick: waits until it has changed count times.
    bool WaitForTicks(int count) const {
        FaceSamples water;
        return WaitFor([&] {
            const std::vector<std::uint32_t> pixels = m_program.Pixels();
            if (pixels.empty()) {
                return false;
            }
            FaceSamples now(pixels.begin() + std::ptrdiff_t(kWidth * (kHeight - 20)),
                            pixels.begin() + std::ptrdiff_t(kWidth * (kHeight - 20) + kWidth / 4));
            if (!water.empty() && now != water) {
                --count;
            }
            water = std::move(now);
            return count <= 0;
        });
    }
    static std::string Describe(const FaceSamples& face) {
        std::string text;
        for (std::uint32_t colour : face) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%06X", colour);
            text += std::string(text.empty() ? "" : " ") + hex;
        }
        return text;
    }
    ProgramFolder m_folder;
    ProgramWindow m_program{m_folder, kWidth, kHeight};
    FaceSamples m_lastCredits;
};

}  // namespace

TEST_F(DemoPointerTest, TheRealPointerHoversAndClicksCreditsAndTheCreditsCome) {
    ASSERT_TRUE(m_program.Start({"/normalinput"}, {{"ZUMBO_HEADLESS", "0"}, {"ZUMBO_MAX_TICKS", "36000"}}));
    // The menu is up once "Install", the first control, shows its focus: hovered over the normal
    // face that "Credits" shows.
    FaceSamples install;
    FaceSamples normal;
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<std::uint32_t> pixels = m_program.Pixels();
        if (pixels.empty()) {
            return false;
        }
        install = Face(pixels, kInstallY);
        normal = Face(pixels, kCreditsY);
        return RoseAbove(install, normal, Blue, kHoverBlueRise);
    })) << "Install "
        << Describe(install) << ", Credits " << Describe(normal);

    // The pointer enters where the cursor starts, then moves onto the button.
    ASSERT_TRUE(Xdotool("mousemove --window " + m_program.Point(kCursorStartX, kCursorStartY)));
    ASSERT_TRUE(Xdotool("mousemove --window " + m_program.Point(kButtonX, kCreditsY)));
    EXPECT_TRUE(WaitForCreditsFace([&](const FaceSamples& face) {
        return RoseAbove(face, normal, Blue, kHoverBlueRise);
    })) << "hover: normal "
        << Describe(normal) << ", seen " << Describe(m_lastCredits);
    const FaceSamples hovered = m_lastCredits;

    ASSERT_TRUE(Xdotool("mousedown 1"));
    EXPECT_TRUE(WaitForCreditsFace([&](const FaceSamples& face) {
        return RoseAbove(face, hovered, Red, kPressRedRise);
    })) << "press: hovered "
        << Describe(hovered) << ", seen " << Describe(m_lastCredits);
    ASSERT_TRUE(Xdotool("mouseup 1"));
    EXPECT_TRUE(WaitForCreditsFace([&](const FaceSamples& face) {
        return !RoseAbove(face, hovered, Red, kPressRedRise);
    })) << "release: seen "
        << Describe(m_lastCredits);
    // The click's message is carried out within a tick or two of the release.
    ASSERT_TRUE(WaitForTicks(3));

    const RunResult result = m_program.Close();
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string log = LogText(m_folder);
    const auto dump = log.find("Active Entities:");
    ASSERT_NE(dump, std::string::npos) << log;
    EXPECT_NE(log.find("\tCredits (visible)", dump), std::string::npos) << log.substr(dump);
}
