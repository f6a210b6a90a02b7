// Drawing through the OpenGL back end on the display (Xvfb with Mesa in CI), checked by pixel.

#include <gtest/gtest.h>

#include "platform/d3d8/opengl_frame.h"
#include "render/bitmap_font.h"
#include "render/model.h"
#include "tests/render/model_fixture.h"
#include "tests/support/font_image_builder.h"

namespace {

constexpr D3DCOLOR kBackground = 0xFF204060;

class RenderPixelsTest : public zumbo::test::ModelFixture {
protected:
    bool Headless() const override { return false; }
    void SetUp() override {
        ModelFixture::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_TRUE(d3d8::KeepPresentedFrames(Device()));
        Device()->BeginScene();
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, kBackground, 1.0f, 0);
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

}  // namespace
