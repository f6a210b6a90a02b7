#include <gtest/gtest.h>

#include <cstring>

#include "ai/play_video_file.h"
#include "tests/ai/render_component_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_video.h"

using namespace zumbo::test;

namespace {

class PlayVideoFileTest : public RenderComponentTest {
protected:
    void Play(const std::string& file) {
        m_entity = &LoadEntity({});
        m_component = Create({"CAIPlayVideoFile", {{"sFileName", file}}}, m_entity);
        ASSERT_NE(m_component, nullptr);
    }

    // The colour of the last drawn quad's texture at a texel, as 0xRRGGBB.
    std::uint32_t DrawnTexel(int x, int y) {
        auto* texture = static_cast<IDirect3DTexture8*>(Record().draws.back().texture);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::uint32_t value = 0;
        std::memcpy(&value, static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
        texture->UnlockRect(0);
        return value & 0xFFFFFF;
    }

    TempDir m_dir;
    CEntity* m_entity = nullptr;
};

}  // namespace

TEST_F(PlayVideoFileTest, EngineDrawingStopsWhileTheVideoPresentsItsFramesAndResumesAtTheEnd) {
    const TestVideo video{32, 8, 3, 15};
    std::string message;
    ASSERT_TRUE(video.Write(m_dir.Path() / "intro.mkv", message)) << message;
    Play(m_dir.WindowsPath() + "intro.mkv");
    auto& player = dynamic_cast<CAIPlayVideoFile&>(*m_component);
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_TRUE(m_application->IsRenderingOff());

    const unsigned presentsBefore = Record().presents;
    // Frames fall due on ticks 1, 5 and 9; each is drawn over the window and presented once.
    for (int tick = 1; tick <= 12; ++tick) {
        player.Update();
        const unsigned framesSoFar = tick >= 9 ? 3 : tick >= 5 ? 2 : 1;
        ASSERT_EQ(Record().presents - presentsBefore, framesSoFar) << tick;
        ASSERT_TRUE(m_application->IsRenderingOff()) << tick;
        const int frame = static_cast<int>(framesSoFar) - 1;
        const int boxX = video.BoxLeft(frame) + 1;
        EXPECT_EQ(DrawnTexel(boxX, 5), 0xFFFF00u) << tick;  // the yellow box of that frame
        EXPECT_EQ(DrawnTexel(1, 1), 0xFF0000u) << tick;     // the red bar
    }
    EXPECT_EQ(Record().draws.back().method, "DrawPrimitiveUP");
    player.Update();  // tick 13: the end of the file
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_FALSE(m_application->IsRenderingOff());
    EXPECT_EQ(Record().presents - presentsBefore, 3u);
    EXPECT_FALSE(m_entity->IsKilled());
}

TEST_F(PlayVideoFileTest, MissingOrUndecodableFileIsLoggedAndTheSceneGoesOn) {
    Play(m_dir.WindowsPath() + "missing.avi");
    EXPECT_TRUE(LogContains("FAILED(hr=0x80040216) in m_pGB->RenderFile(wFileName, NULL)"));
    EXPECT_FALSE(m_application->IsRenderingOff());
    m_component->Update();
    EXPECT_FALSE(m_application->IsRenderingOff());

    m_dir.Write("broken.avi",
                "RIFF\x10\x00\x00\x00"
                "AVI LIST");
    Play(m_dir.WindowsPath() + "broken.avi");
    EXPECT_TRUE(LogContains("FAILED(hr=0x80040265) in m_pGB->RenderFile(wFileName, NULL)"));
    EXPECT_FALSE(dynamic_cast<CAIPlayVideoFile&>(*m_component).IsPlaying());
    EXPECT_FALSE(m_application->IsRenderingOff());
}

TEST_F(PlayVideoFileTest, DestroyingThePlayerMidwayGivesTheWindowBackToTheEngine) {
    TestVideo video;
    std::string message;
    ASSERT_TRUE(video.Write(m_dir.Path() / "long.avi", message)) << message;
    Play(m_dir.WindowsPath() + "long.avi");
    m_component->Update();
    EXPECT_TRUE(m_application->IsRenderingOff());
    m_component.reset();
    EXPECT_FALSE(m_application->IsRenderingOff());
}
