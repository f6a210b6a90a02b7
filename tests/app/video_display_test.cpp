// Video on the OpenGL back end under a real display: a clip played into a cache texture and
// drawn over the window, and a clip played full-window, checked pixel by pixel.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "ai/play_video_file.h"
#include "ai/video_to_texture.h"
#include "engine/ai_factory.h"
#include "engine/entity.h"
#include "platform/d3d8/opengl_frame.h"
#include "render/texture_cache.h"
#include "resource/xml.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/image_bytes.h"
#include "tests/support/render_application.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_video.h"

using namespace zumbo::test;

namespace {

struct tScreenVertex {
    float x, y, z, rhw;
    float u, v;
};

class VideoDisplayTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (!getenv("DISPLAY")) {
            GTEST_SKIP() << "no display";
        }
        unsetenv("ZUMBO_HEADLESS");
        m_application = &RenderApplication::Instance();
        ASSERT_EQ(m_application->Create(nullptr, 0, 0), S_OK);
        m_device = m_application->GetDevice();
        ASSERT_TRUE(d3d8::KeepPresentedFrames(m_device));
        D3DVIEWPORT8 viewport{};
        m_device->GetViewport(&viewport);
        m_width = viewport.Width;
        m_height = viewport.Height;
        m_video = TestVideo{64, 32, 12, 15};
        std::string message;
        ASSERT_TRUE(m_video.Write(m_dir.Path() / "clip.mkv", message)) << message;
    }
    void TearDown() override {
        m_component.reset();
        if (m_application) {
            CTextureCache::Instance().ReleaseAll();
            CTextureCache::DestroyInstance();
            m_application->DestroyEnvironment();
            m_application->DestroyInstance();
        }
        setenv("ZUMBO_HEADLESS", "1", 1);
        EngineTest::TearDown();
    }

    C_AI& Start(const char* className,
                std::initializer_list<std::pair<const char*, std::string>> properties) {
        enXml element("AI");
        element.AddAttribute("Name", className);
        for (const auto& [name, value] : properties) {
            element.AddNewChild(name)->AddAttribute("Value", value);
        }
        m_component = CreateAI(&element, new CEntity());
        EXPECT_NE(m_component, nullptr);
        return *m_component;
    }

    // The frame presented last, as 0xRRGGBB at a pixel.
    std::uint32_t Presented(UINT x, UINT y) const {
        const d3d8::PresentedFrame* frame = d3d8::LastPresentedFrame(m_device);
        EXPECT_NE(frame, nullptr);
        return frame ? frame->At(x, y) & 0xFFFFFF : 0;
    }

    static std::uint32_t Rgb24(Rgb colour) {
        return std::uint32_t(colour.red) << 16 | std::uint32_t(colour.green) << 8 | colour.blue;
    }

    // The centre of the window pixel where video texel (x, y) lands when the picture covers
    // the rectangle (left, top, width, height).
    static std::pair<UINT, UINT> Landing(float x, float y, float left, float top, float width, float height,
                                         const TestVideo& video) {
        return {static_cast<UINT>(left + (x + 0.5f) * width / video.width),
                static_cast<UINT>(top + (y + 0.5f) * height / video.height)};
    }

    // Checks the four bars and the box of `frame` where the picture covers that rectangle.
    void ExpectPicture(int frame, float left, float top, float width, float height) {
        const int box = m_video.BoxLeft(frame);
        const std::pair<float, float> texels[] = {
            {8, 4}, {24, 4}, {40, 4}, {56, 4}, {box + 1.5f, m_video.height / 2 + 1.5f}};
        for (const auto& [x, y] : texels) {
            const auto [px, py] = Landing(x, y, left, top, width, height, m_video);
            EXPECT_EQ(Presented(px, py),
                      Rgb24(m_video.ColourAt(frame, static_cast<int>(x), static_cast<int>(y))))
                << "frame " << frame << " texel " << x << "," << y;
        }
    }

    void DrawTextureOverWindow(IDirect3DTexture8* texture) {
        const float w = static_cast<float>(m_width);
        const float h = static_cast<float>(m_height);
        const tScreenVertex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0, 0},
                                       {w - 0.5f, -0.5f, 0.5f, 1, 1, 0},
                                       {-0.5f, h - 0.5f, 0.5f, 1, 0, 1},
                                       {w - 0.5f, h - 0.5f, 0.5f, 1, 1, 1}};
        m_device->BeginScene();
        m_device->SetRenderState(D3DRS_LIGHTING, 0);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        m_device->SetTexture(0, texture);
        m_device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_TEX1);
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(tScreenVertex));
        m_device->EndScene();
        m_device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    RenderApplication* m_application = nullptr;
    IDirect3DDevice8* m_device = nullptr;
    UINT m_width = 0;
    UINT m_height = 0;
    TempDir m_dir;
    TestVideo m_video;
    std::unique_ptr<C_AI> m_component;
};

}  // namespace

TEST_F(VideoDisplayTest, ClipInACacheTextureShowsEachFrameInTimeWithTheTicks) {
    const std::string texturePath = m_dir.WindowsPath() + "screen.dds";
    m_dir.Write("screen.dds", DdsFile(64, 32, 1, kDdsArgb, std::vector<std::uint8_t>(64 * 32 * 4, 0)));
    C_AI& player = Start("CAIVideo2Texture", {{"sSourceFile", m_dir.WindowsPath() + "clip.mkv"},
                                              {"sTargetTexture", texturePath}});
    IDirect3DTexture8* texture = CTextureCache::Instance().LoadTexture(
        texturePath, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
        D3DX_DEFAULT, 0, nullptr, nullptr);
    ASSERT_NE(texture, nullptr);
    for (int tick = 1; tick <= 24; ++tick) {
        player.Update();
        DrawTextureOverWindow(texture);
        // Four ticks per frame at 15 frames per second.
        ExpectPicture(tick / 4, 0, 0, static_cast<float>(m_width), static_cast<float>(m_height));
    }
}

TEST_F(VideoDisplayTest, FullWindowPlaybackFillsTheWindowKeepingTheProportions) {
    C_AI& player = Start("CAIPlayVideoFile", {{"sFileName", m_dir.WindowsPath() + "clip.mkv"}});
    EXPECT_TRUE(m_application->IsRenderingOff());
    const float scale = std::min(static_cast<float>(m_width) / 64.0f, static_cast<float>(m_height) / 32.0f);
    const float width = 64.0f * scale;
    const float height = 32.0f * scale;
    const float left = (static_cast<float>(m_width) - width) / 2.0f;
    const float top = (static_cast<float>(m_height) - height) / 2.0f;
    for (int tick = 1; tick <= 12; ++tick) {
        player.Update();
        // Frames fall due on ticks 1, 5, 9 ...
        ExpectPicture((tick - 1) / 4, left, top, width, height);
    }
    if (top >= 2.0f) {
        EXPECT_EQ(Presented(m_width / 2, 0), 0u);  // a black bar above the picture
    }
}
