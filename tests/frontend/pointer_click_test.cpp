// The real program, windowed at 640 x 480 under X, with a dialog of two buttons: xdotool moves the
// real pointer onto the second button and clicks it. The faces the button shows are read back
// from the window, and the message it posts is carried out and logged. Needs a display (the
// tests run under Xvfb) and xdotool.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/image_bytes.h"
#include "tests/support/program_run.h"
#include "tests/support/program_window.h"
#include "tests/support/xdotool.h"
#include "tests/support/xfile_writer.h"
#include "tests/support/xml_builder.h"

using namespace zumbo::test;
namespace fs = std::filesystem;

namespace {

// The faces' colours (0xRRGGBB), far apart in every channel pair.
constexpr std::uint32_t kNormalColour = 0x2040C0;
constexpr std::uint32_t kHoverColour = 0x30D040;
constexpr std::uint32_t kPressColour = 0xE03020;
constexpr int kTolerance = 24;

// The window is the virtual 640 x 480 screen: the dialog sits at (320, 240) and its buttons, 200 x 60 each,
// 60 above and below it.
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kButtonX = 320;
constexpr int kFirstButtonY = 180;
constexpr int kSecondButtonY = 300;

bool Near(std::uint32_t colour, std::uint32_t wanted) {
    for (int shift : {0, 8, 16}) {
        const int difference = int((colour >> shift) & 0xFF) - int((wanted >> shift) & 0xFF);
        if (std::abs(difference) > kTolerance) {
            return false;
        }
    }
    return true;
}

class PointerClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveDisplayAndXdotool()) {
            GTEST_SKIP() << "no display or no xdotool";
        }
        WriteScene();
        std::ofstream(m_folder.RegistryFile())
            << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0]\n"
               "\"FullScreen\"=dword:00000000\n\"Width\"=dword:00000280\n\"Height\"=dword:000001e0\n";
    }
    void Save(const enXml& root, const std::string& relative) {
        ASSERT_TRUE(SaveBelow(root, m_folder.Path(), relative));
    }

    // A face of a button: a screen-space square with a texture of one colour.
    void WriteFace(const char* name, std::uint32_t colour) {
        const std::string stem = name;
        m_folder.WriteFile("Models/" + stem + ".tga",
                           TgaFile(4, 4, std::vector<std::uint32_t>(16, 0xFF000000 | colour)));
        // The square lies in the x-z plane, the screen's; a zero-area triangle across y, the depth,
        // gives the box the height in y that picking by the world box's x and y needs.
        XFileWriter quad;
        quad.Open("Mesh", "Face").Ints({7});
        quad.Floats(
            {-0.5, 0, -0.5, 0.5, 0, -0.5, 0.5, 0, 0.5, -0.5, 0, 0.5, 0, -0.5, 0, 0, 0.5, 0, 0, 0.5, 0});
        quad.Ints({3, 3, 0, 1, 2, 3, 0, 2, 3, 3, 4, 5, 6});
        quad.Open("MeshTextureCoords").Ints({7}).Floats({0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}).Close();
        quad.Open("MeshMaterialList").Ints({1, 3, 0, 0, 0});
        quad.Open("Material").Floats({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0});
        quad.Open("TextureFilename").String(stem + ".tga").Close();
        quad.Close().Close().Close();
        const std::vector<std::uint8_t> bytes = quad.Bytes(XFileWriter::Encoding::Text);
        m_folder.WriteFile("Models/" + stem + ".x", std::string(bytes.begin(), bytes.end()));
        auto model = MakeRoot("Model", {{"Name", stem}});
        AddValue(*model, "FileName", stem + ".x");
        AddValue(*model, "b2D", "true");
        AddValue(*model, "bUseAlpha", "true");
        AddValue(*model, "sCullMode", "NONE");
        AddValue(*model, "bZBufferEnable", "false");
        Save(*model, "Models\\" + stem + ".xml");
    }

    // An entity document: properties, sub-entities and one prefix component with its properties.
    void WriteEntity(const std::string& file, const std::string& name, Attributes properties,
                     std::initializer_list<const char*> subEntities, const char* component = nullptr,
                     Attributes componentProperties = {}) {
        auto entity = MakeRoot("Entity", {{"Name", name}});
        for (const auto& [property, value] : properties) {
            AddValue(*entity, property, value);
        }
        if (subEntities.size() > 0) {
            enXml& list = AddElement(*entity, "SubEntityList");
            for (const char* sub : subEntities) {
                AddElement(list, "SubEntity", {{"FileName", sub}});
            }
        }
        enXml& ai = AddElement(*entity, "AIList");
        if (component) {
            enXml& element = AddElement(AddElement(ai, "PrefixAIList"), "AI", {{"Name", component}});
            for (const auto& [property, value] : componentProperties) {
                AddValue(element, property, value);
            }
        }
        AddElement(ai, "AIPhysics", {{"Name", "CAINoPhysics"}});
        Save(*entity, "Entities\\" + file);
    }

    void WriteScene() {
        fs::create_directories(m_folder.Path() / "Scenes");
        fs::create_directories(m_folder.Path() / "Entities");
        fs::create_directories(m_folder.Path() / "Models");
        auto options = MakeRoot("Options");
        AddValue(*options, "iDebugInfoLevel", "2");
        // One window pixel of pointer motion moves the cursor by one virtual unit:
        // 1/7 (the mouse controller) x 0.7 x 10 (the cursor component).
        AddValue(*options, "fMouseSensivity", "0.7");
        Save(*options, "Options.xml");
        auto scene = MakeRoot("Scene");
        enXml& list = AddElement(*scene, "AllEntities");
        for (const char* file : {"dialog.xml", "cursor.xml", "starter.xml"}) {
            AddElement(list, "Entity", {{"FileName", file}});
        }
        Save(*scene, "Scenes\\Intro.xml");

        WriteFace("normal", kNormalColour);
        WriteFace("hover", kHoverColour);
        WriteFace("press", kPressColour);
        for (const auto& [file, name, model] :
             {std::array<const char*, 3>{"normal.xml", "Normal", "normal.xml"},
              {"hover.xml", "HighLighted", "hover.xml"},
              {"press.xml", "Pressed", "press.xml"}}) {
            auto face = MakeRoot("Entity", {{"Name", name}});
            AddElement(*face, "Model", {{"FileName", model}});
            AddValue(*face, "p3Scale", "200,60,60");
            AddValue(*face, "sHitGroup", "Mouse");
            AddElement(AddElement(*face, "AIList"), "AIPhysics", {{"Name", "CAINoPhysics"}});
            Save(*face, std::string("Entities\\") + file);
        }
        WriteEntity(
            "first.xml", "First", {{"p3Position", "0,-60,0.5"}}, {"normal.xml", "hover.xml", "press.xml"},
            "CAIButton",
            {{"sID", "First"}, {"sOwnerID", "Main"}, {"sMessage", "FrontendSwitchDialog(FirstClicked)"}});
        WriteEntity(
            "second.xml", "Second", {{"p3Position", "0,60,0.5"}}, {"normal.xml", "hover.xml", "press.xml"},
            "CAIButton",
            {{"sID", "Second"}, {"sOwnerID", "Main"}, {"sMessage", "FrontendSwitchDialog(SecondClicked)"}});
        WriteEntity("dialog.xml", "Dialog", {{"p3Position", "320,240,0"}}, {"first.xml", "second.xml"},
                    "CAIDialog", {{"sID", "Main"}});
        WriteEntity("cursor.xml", "Mouse Cursor", {{"bVisible", "false"}}, {}, "CAIMouse",
                    {{"p3Position", "0,0,0.05"}});
        WriteEntity("starter.xml", "Starter", {}, {}, "CAIFrontendStarter",
                    {{"sStartDialogID", "Main"}, {"bDieOnFinish", "true"}});
    }

    // Starts the program and finds its window. It draws on the display whatever other tests of
    // this process set.
    void StartProgram() {
        ASSERT_TRUE(
            m_window.Start({"/normalinput"}, {{"ZUMBO_HEADLESS", "0"}, {"ZUMBO_MAX_TICKS", "36000"}}));
    }

    // The window matches the virtual screen pixel for pixel.
    static std::uint32_t ColourAt(const std::vector<std::uint32_t>& pixels, int x, int y) {
        return pixels[std::size_t(y) * kWidth + std::size_t(x)];
    }
    // The button's face shows the colour at its centre and near both ends.
    static bool ButtonShows(const std::vector<std::uint32_t>& pixels, int y, std::uint32_t colour) {
        for (int dx : {-80, 0, 80}) {
            for (int dy : {-20, 0, 20}) {
                if (!Near(ColourAt(pixels, kButtonX + dx, y + dy), colour)) {
                    return false;
                }
            }
        }
        return true;
    }
    bool WaitForFaces(std::uint32_t first, std::uint32_t second) const {
        return WaitFor([&] {
            const std::vector<std::uint32_t> pixels = m_window.Pixels();
            return !pixels.empty() && ButtonShows(pixels, kFirstButtonY, first) &&
                   ButtonShows(pixels, kSecondButtonY, second);
        });
    }
    bool WaitForLog(const std::string& entry) const {
        return WaitFor([&] { return LogText(m_folder).find(entry) != std::string::npos; });
    }
    // The colours at the two buttons' centres now, for failure messages.
    std::string FacesSeen() const {
        const std::vector<std::uint32_t> pixels = m_window.Pixels();
        if (pixels.empty()) {
            return "the window cannot be read";
        }
        char text[64];
        std::snprintf(text, sizeof text, "seen: first %06X, second %06X",
                      ColourAt(pixels, kButtonX, kFirstButtonY), ColourAt(pixels, kButtonX, kSecondButtonY));
        return text;
    }
    ProgramFolder m_folder;
    ProgramWindow m_window{m_folder, kWidth, kHeight};
};

}  // namespace

TEST_F(PointerClickTest, TheRealPointerHoversPressesAndClicksTheSecondButton) {
    StartProgram();
    // The first registered control takes the focus, which shows as its highlighted face.
    ASSERT_TRUE(WaitForFaces(kHoverColour, kNormalColour)) << FacesSeen();

    // The cursor starts at the virtual origin; the pointer enters the window there, then moves.
    ASSERT_TRUE(Xdotool("mousemove --window " + m_window.Point(0, 0)));
    ASSERT_TRUE(Xdotool("mousemove --window " + m_window.Point(kButtonX, kSecondButtonY)));
    EXPECT_TRUE(WaitForFaces(kNormalColour, kHoverColour)) << "hover; " << FacesSeen();

    ASSERT_TRUE(Xdotool("mousedown 1"));
    EXPECT_TRUE(WaitForFaces(kNormalColour, kPressColour)) << "press; " << FacesSeen();

    ASSERT_TRUE(Xdotool("mouseup 1"));
    // The frontend manager carries the message out and reports the unknown dialog it names.
    EXPECT_TRUE(WaitForLog("Warning: Unable to find dialog by the following ID \"SecondClicked\"."));
    EXPECT_TRUE(WaitForFaces(kNormalColour, kHoverColour)) << "released; " << FacesSeen();
    EXPECT_EQ(LogText(m_folder).find("FirstClicked"), std::string::npos) << "the first button posted nothing";

    // Closed like any window, the program ends normally.
    const RunResult result = m_window.Close();
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(LogText(m_folder).find("=========== Program Finished ==========="), std::string::npos);
}
