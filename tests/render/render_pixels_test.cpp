// Drawing through the OpenGL back end on the display (Xvfb with Mesa in CI), checked by pixel.

#include <gtest/gtest.h>

#include <string>

#include "app/camera_manager.h"
#include "platform/d3d8/opengl_frame.h"
#include "render/bitmap_font.h"
#include "render/model.h"
#include "tests/render/model_fixture.h"
#include "tests/support/font_image_builder.h"
#include "tests/support/image_bytes.h"
#include "tests/support/present_parameters.h"

namespace {

constexpr D3DCOLOR kBackground = 0xFF204060;  // red 32, green 64, blue 96
constexpr DWORD kWhite = 0xFFFFFF;

// A 100 x 100 square in x and z with its top-left corner at the origin, u from 0 at its left to
// 1 at its right; the material names the texture when one is given.
std::string SquareXFile(const std::string& texture = "") {
    const std::string textureName = texture.empty() ? "" : "TextureFilename { \"" + texture + "\"; }";
    return "xof 0303txt 0032\n"
           "Mesh Square {\n"
           " 4; 0.0;0.0;0.0;, 100.0;0.0;0.0;, 100.0;0.0;-100.0;, 0.0;0.0;-100.0;;\n"
           " 2; 3;0,1,2;, 3;0,2,3;;\n"
           " MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }\n"
           " MeshMaterialList { 1; 2; 0, 0;;\n"
           "  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; " +
           textureName +
           " }\n"
           " }\n"
           "}\n";
}

D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX matrix;
    D3DXMatrixTranslation(&matrix, x, y, z);
    return matrix;
}

int Channel(DWORD pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

#define EXPECT_COLOUR_NEAR(pixel, red, green, blue) \
    do {                                            \
        const DWORD colour_ = (pixel);              \
        EXPECT_NEAR(Channel(colour_, 16), red, 2);  \
        EXPECT_NEAR(Channel(colour_, 8), green, 2); \
        EXPECT_NEAR(Channel(colour_, 0), blue, 2);  \
    } while (false)

class RenderPixelsTest : public zumbo::test::ModelFixture {
protected:
    bool Headless() const override { return false; }
    void SetUp() override {
        ModelFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_TRUE(d3d8::KeepPresentedFrames(Device()));
        m_sandbox.Write("square.x", SquareXFile());
        BeginFrame();
    }

    void BeginFrame() {
        Device()->BeginScene();
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    }

    // The back buffer takes another size, as it does when the window is resized.
    void ResizeBackBuffer(UINT width, UINT height) {
        Device()->EndScene();
        D3DPRESENT_PARAMETERS parameters = zumbo::test::WindowedParameters(width, height);
        ASSERT_EQ(Device()->Reset(&parameters), D3D_OK);
        ASSERT_TRUE(d3d8::KeepPresentedFrames(Device()));
        CCameraManager::Instance().Restore(static_cast<float>(width) / static_cast<float>(height));
        BeginFrame();
    }

    // A two-dimensional model of the square that draws both windings, with the settings.
    CModel* Square(zumbo::test::Settings settings, const char* xFile = "square.x") {
        settings.emplace_back("b2D", "true");
        settings.emplace_back("sCullMode", "NONE");
        CModel* model = LoadModel(settings, "Model", xFile);
        EXPECT_NE(model, nullptr) << m_log.Text();
        return model;
    }

    const d3d8::PresentedFrame& Present() {
        Device()->EndScene();
        EXPECT_EQ(Device()->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        return *d3d8::LastPresentedFrame(Device());
    }
};

TEST_F(RenderPixelsTest, TextLandsAtItsPlaceInTheVirtualScreen) {
    // One white cell 4 wide and 6 high in a 6 x 8 image.
    m_sandbox.Write("font.tga", zumbo::test::FontImageBuilder(1, 4, {6}).Tga());
    auto font = zumbo::test::MakeRoot("Font");
    zumbo::test::AddElement(*font, "Image", {{"FileName", "font.tga"}});
    zumbo::test::AddElement(zumbo::test::AddElement(*font, "Letters"), "Letter", {{"Char", "a"}});
    ASSERT_TRUE(font->Save(InSandbox("font.xml")));
    CBitmapFont bitmapFont("Pixels");
    ASSERT_EQ(bitmapFont.LoadFontFile(Device(), InSandbox("font.xml"), "font.xml"), S_OK);
    ASSERT_EQ(bitmapFont.RestoreDeviceObjects(), S_OK);
    // The back buffer is 640 x 480: one virtual pixel is one pixel. The glyph spans 4 x 6
    // pixels from column 100 with its bottom on row 200.
    bitmapFont.DrawText(100, 200, 0, 1, 1, "a", 0xFFFF0000, 0);
    const d3d8::PresentedFrame& frame = Present();
    ASSERT_EQ(frame.width, 640u);
    EXPECT_EQ(frame.At(101, 195), 0xFFFF0000u);
    EXPECT_EQ(frame.At(103, 199), 0xFFFF0000u);
    EXPECT_EQ(frame.At(105, 197), kBackground);
    EXPECT_EQ(frame.At(101, 192), kBackground);
    EXPECT_EQ(frame.At(101, 201), kBackground);
}

// The screen-space camera maps the virtual 640 x 480 screen onto the back buffer, and a 2D
// model's world (x, y, z) is its virtual column, row and depth.
TEST_F(RenderPixelsTest, A2DModelLandsAtItsVirtualPlaceOnAnyBackBuffer) {
    ResizeBackBuffer(960, 360);  // 1.5 pixels per virtual column, 0.75 per virtual row
    Square({})->Render(Translation(200, 100, 0.5f));
    const d3d8::PresentedFrame& frame = Present();
    ASSERT_EQ(frame.width, 960u);
    ASSERT_EQ(frame.height, 360u);
    // Virtual columns 200 to 300 and rows 100 to 200 are pixels 300 to 450 and 75 to 150.
    EXPECT_EQ(frame.At(305, 80) & kWhite, kWhite);
    EXPECT_EQ(frame.At(445, 145) & kWhite, kWhite);
    EXPECT_EQ(frame.At(295, 80), kBackground);
    EXPECT_EQ(frame.At(455, 80), kBackground);
    EXPECT_EQ(frame.At(305, 70), kBackground);
    EXPECT_EQ(frame.At(305, 155), kBackground);
}

// The program clears only depth before a frame, so a back buffer keeps its picture across a
// present: the window's own buffers at the window's size, and a buffer of another size.
TEST_F(RenderPixelsTest, TheBackBufferKeepsItsPictureAcrossAPresent) {
    for (const bool resized : {false, true}) {
        if (resized) {
            ResizeBackBuffer(320, 240);
        }
        Square({})->Render(Translation(200, 100, 0));
        Present();
        Device()->BeginScene();
        const d3d8::PresentedFrame& next = Present();
        // Virtual (250, 150) on the back buffer, which is halved after the resize.
        const UINT x = resized ? 125 : 250;
        const UINT y = resized ? 75 : 150;
        EXPECT_EQ(next.At(x, y) & kWhite, kWhite) << (resized ? "resized" : "window's size");
        EXPECT_EQ(next.At(x, y / 3), kBackground);
    }
}

TEST_F(RenderPixelsTest, The2DWorldZIsDepth) {
    // Red squares that write depth overlap white ones by half: the one at depth 0.6 is drawn
    // after the white at 0.3, the one at 0 before it.
    const zumbo::test::Settings red = {
        {"bUseAlpha", "true"}, {"bZWriteEnable", "true"}, {"dwTextureFactor", "FFFF0000"}};
    Square({})->Render(Translation(100, 100, 0.3f));
    Square(red)->Render(Translation(150, 100, 0.6f));
    Square(red)->Render(Translation(150, 250, 0.0f));
    Square({})->Render(Translation(100, 250, 0.3f));
    const d3d8::PresentedFrame& frame = Present();
    EXPECT_EQ(frame.At(175, 150) & kWhite, kWhite);     // the red one behind is hidden
    EXPECT_EQ(frame.At(225, 150) & kWhite, 0xFF0000u);  // where nothing is in front of it
    EXPECT_EQ(frame.At(175, 300) & kWhite, 0xFF0000u);  // the red one in front stays
    EXPECT_EQ(frame.At(125, 300) & kWhite, kWhite);
}

// Blending over the background (32, 64, 96); the factor is the colour of an untextured square.
TEST_F(RenderPixelsTest, AlphaFunctionsBlendAsTheirFactorsSay) {
    // Normal: source x alpha + destination x (1 - alpha), alpha 128/255.
    Square({{"bUseAlpha", "true"}, {"dwTextureFactor", "80FF0000"}})->Render(Translation(0, 0, 0));
    // Add without lighting: the factor premultiplied by its alpha (255 x 128/255 = 128), plus
    // the destination.
    Square({{"bUseAlpha", "true"}, {"sAlphaFunction", "Add"}, {"dwTextureFactor", "80FF0000"}})
        ->Render(Translation(200, 0, 0));
    // Saturate: source x destination + destination.
    Square({{"bUseAlpha", "true"}, {"sAlphaFunction", "Saturate"}, {"dwTextureFactor", "80FF8000"}})
        ->Render(Translation(400, 0, 0));
    // An alpha of 0 fails the alpha test, whatever the function.
    Square({{"bUseAlpha", "true"}, {"sAlphaFunction", "Add"}, {"dwTextureFactor", "00FFFFFF"}})
        ->Render(Translation(0, 200, 0));
    const d3d8::PresentedFrame& frame = Present();
    EXPECT_COLOUR_NEAR(frame.At(50, 50), 144, 32, 48);   // 128 + 32 x 127/255, 64 x 127/255, ...
    EXPECT_COLOUR_NEAR(frame.At(250, 50), 160, 64, 96);  // 128 + 32, 0 + 64, 0 + 96
    EXPECT_COLOUR_NEAR(frame.At(450, 50), 64, 96, 96);   // 32 x 1 + 32, 64 x 128/255 + 64, 0 + 96
    EXPECT_EQ(frame.At(50, 250), kBackground);
}

TEST_F(RenderPixelsTest, AClipPlaneInModelSpaceFollowsTheModel) {
    // Keeps z >= -50 of the square: its upper half, wherever the square is placed.
    CModel* model = Square({});
    model->AddClipPlane(D3DXPLANE{0.0f, 0.0f, 1.0f, 50.0f});
    model->Render(Translation(100, 100, 0));
    model->Render(Translation(300, 250, 0));
    const d3d8::PresentedFrame& frame = Present();
    EXPECT_EQ(frame.At(150, 140) & kWhite, kWhite);
    EXPECT_EQ(frame.At(150, 160), kBackground);
    EXPECT_EQ(frame.At(350, 290) & kWhite, kWhite);
    EXPECT_EQ(frame.At(350, 310), kBackground);
}

TEST_F(RenderPixelsTest, TheTextureTransformMovesTheTextureCoordinates) {
    // Red on the left half of the texture, green on the right, point sampled.
    m_sandbox.Write("halves.tga", zumbo::test::TgaFile(2, 1, {0xFFFF0000, 0xFF00FF00}));
    m_sandbox.Write("textured.x", SquareXFile("halves.tga"));
    CModel* plain = Square({}, "textured.x");
    CModel* shifted = Square({}, "textured.x");
    // (u, v, 1) x transform: its third row moves u by half the texture, which wraps.
    D3DXMATRIX halfAcross;
    D3DXMatrixIdentity(&halfAcross);
    halfAcross._31 = 0.5f;
    shifted->SetTextureTransform(halfAcross, true);
    plain->Render(Translation(100, 100, 0));
    shifted->Render(Translation(300, 100, 0));
    const d3d8::PresentedFrame& frame = Present();
    EXPECT_EQ(frame.At(110, 150) & kWhite, 0xFF0000u);
    EXPECT_EQ(frame.At(190, 150) & kWhite, 0x00FF00u);
    EXPECT_EQ(frame.At(310, 150) & kWhite, 0x00FF00u);
    EXPECT_EQ(frame.At(390, 150) & kWhite, 0xFF0000u);
}

}  // namespace
