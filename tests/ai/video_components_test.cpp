#include <gtest/gtest.h>

#include <cstring>

#include "ai/video_to_texture.h"
#include "ai/video_to_texture_ds.h"
#include "platform/win32/files.h"
#include "render/texture_cache.h"
#include "tests/ai/render_component_fixture.h"
#include "tests/support/image_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_video.h"

using namespace zumbo::test;

namespace {

constexpr DdsPixelFormat kDdsX8R8G8B8{0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0};
constexpr DdsPixelFormat kDdsR5G6B5{0x40, 0, 16, 0xF800, 0x7E0, 0x1F, 0};
constexpr DdsPixelFormat kDdsA1R5G5B5{0x41, 0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000};
constexpr DdsPixelFormat kDdsL8{0x20000, 0, 8, 0xFF, 0, 0, 0};
constexpr std::uint32_t kMarker = 0x12345678;  // what the texture holds before any frame

class VideoComponentTest : public RenderComponentTest {
protected:
    std::string Video(const TestVideo& video, const std::string& name = "clip.mkv") {
        std::string message;
        EXPECT_TRUE(video.Write(m_dir.Path() / name, message)) << message;
        return m_dir.WindowsPath() + name;
    }

    // A one-level DDS texture filled with the marker bytes.
    std::string Texture(unsigned width, unsigned height, const DdsPixelFormat& format = kDdsArgb,
                        const std::string& name = "target.dds") {
        std::vector<std::uint8_t> data(width * height * format.bitCount / 8);
        for (std::size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<std::uint8_t>(kMarker >> (8 * (i % 4)));
        }
        m_dir.Write(name, DdsFile(width, height, 1, format, data));
        return m_dir.WindowsPath() + name;
    }

    C_AI& Start(const char* className, const Properties& properties) {
        m_entity = &LoadEntity({});
        m_component = Create({className, properties}, m_entity);
        EXPECT_NE(m_component, nullptr);
        return *m_component;
    }

    IDirect3DTexture8* Target(const std::string& path) {
        return CTextureCache::Instance().LoadTexture(path, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, D3DFMT_UNKNOWN,
                                                     D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                                     nullptr);
    }

    // The texture's pixel as a 32-bit or 16-bit value.
    static std::uint32_t Pixel(IDirect3DTexture8* texture, int x, int y) {
        D3DSURFACE_DESC description{};
        texture->GetLevelDesc(0, &description);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch;
        std::uint32_t value = 0;
        const bool wide = description.Format == D3DFMT_A8R8G8B8 || description.Format == D3DFMT_X8R8G8B8;
        std::memcpy(&value, row + x * (wide ? 4 : 2), wide ? 4 : 2);
        texture->UnlockRect(0);
        return value;
    }

    static std::uint32_t Argb(Rgb colour) {
        return 0xFF000000u | std::uint32_t(colour.red) << 16 | std::uint32_t(colour.green) << 8 | colour.blue;
    }

    // True when every pixel of the video's area shows that frame of the pattern.
    static bool ShowsFrame(IDirect3DTexture8* texture, const TestVideo& video, int frame) {
        for (int y = 0; y < video.height; ++y) {
            for (int x = 0; x < video.width; ++x) {
                if (Pixel(texture, x, y) != Argb(video.ColourAt(frame, x, y))) {
                    return false;
                }
            }
        }
        return true;
    }

    // The frames shown, in order of change, over `ticks` ticks, each checked against the texture.
    std::vector<long> ShownFrames(const TestVideo& video, IDirect3DTexture8* texture, int ticks) {
        auto& player = dynamic_cast<CAIVideo2Texture&>(*m_component);
        std::vector<long> shown;
        for (int tick = 0; tick < ticks; ++tick) {
            player.Update();
            if (shown.empty() || shown.back() != player.GetLastShownFrame()) {
                shown.push_back(player.GetLastShownFrame());
                EXPECT_TRUE(ShowsFrame(texture, video, static_cast<int>(shown.back()))) << "tick " << tick;
            }
        }
        return shown;
    }

    TempDir m_dir;
    CEntity* m_entity = nullptr;
};

std::vector<long> Range(long from, long to) {
    std::vector<long> frames;
    for (long frame = from; from <= to ? frame <= to : frame >= to; frame += from <= to ? 1 : -1) {
        frames.push_back(frame);
    }
    return frames;
}

std::vector<long> Concat(std::initializer_list<std::vector<long>> parts) {
    std::vector<long> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace

TEST_F(VideoComponentTest, NonLoopedVideoFollowsTheTickClockThenHoldsTheLastFrameAndDies) {
    const TestVideo video{64, 16, 30, 15};
    const std::string texturePath = Texture(64, 16);
    auto& player = Start("CAIVideo2Texture", {{"sSourceFile", Video(video)},
                                              {"sTargetTexture", texturePath},
                                              {"bLooped", "false"},
                                              {"bDieOnFinish", "true"}});
    IDirect3DTexture8* texture = Target(texturePath);
    ASSERT_TRUE(dynamic_cast<CAIVideo2Texture&>(player).IsReady());
    for (int tick = 1; tick < 120; ++tick) {
        player.Update();
        // Four ticks per frame at 15 frames per second: tick k shows frame k / 4.
        ASSERT_TRUE(ShowsFrame(texture, video, tick / 4)) << "tick " << tick;
        ASSERT_FALSE(m_entity->IsKilled()) << "tick " << tick;
    }
    player.Update();  // t = 2 s
    EXPECT_TRUE(m_entity->IsKilled());
    EXPECT_TRUE(ShowsFrame(texture, video, 29));
    player.Update();
    EXPECT_TRUE(ShowsFrame(texture, video, 29));
}

TEST_F(VideoComponentTest, LoopedVideoWrapsToTheFirstFrameAndPingPongBouncesAtBothEnds) {
    const TestVideo video{64, 8, 10, 15};
    const std::string source = Video(video);
    const std::string texturePath = Texture(64, 8);
    Start("CAIVideo2Texture", {{"sSourceFile", source}, {"sTargetTexture", texturePath}});
    IDirect3DTexture8* texture = Target(texturePath);
    EXPECT_EQ(ShownFrames(video, texture, 90), Concat({Range(0, 9), Range(0, 9), Range(0, 2)}));

    Start("CAIVideo2Texture",
          {{"sSourceFile", source}, {"sTargetTexture", texturePath}, {"bPingPong", "true"}});
    // At the end it jumps to frame 8 and plays backwards, then from frame 1 forwards again.
    EXPECT_EQ(ShownFrames(video, texture, 100), Concat({Range(0, 9), Range(8, 0), Range(1, 7)}));
}

TEST_F(VideoComponentTest, EveryAcceptedFormatReceivesConvertedOpaquePixels) {
    const TestVideo video{8, 4, 2};
    struct Case {
        DdsPixelFormat format;
        std::uint32_t red, green, blue, white;
    };
    const Case cases[] = {
        {kDdsArgb, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF},
        {kDdsX8R8G8B8, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF},
        {kDdsR5G6B5, 0xF800, 0x07E0, 0x001F, 0xFFFF},
        {kDdsA1R5G5B5, 0xFC00, 0x83E0, 0x801F, 0xFFFF},
    };
    const std::string source = Video(video, "bars.avi");
    int number = 0;
    for (const Case& test : cases) {
        const std::string texturePath =
            Texture(8, 4, test.format, "format" + std::to_string(number++) + ".dds");
        auto& player = Start("CAIVideo2Texture", {{"sSourceFile", source}, {"sTargetTexture", texturePath}});
        player.Update();
        IDirect3DTexture8* texture = Target(texturePath);
        // The bars are two pixels wide: red, green, blue, white.
        EXPECT_EQ(Pixel(texture, 0, 0), test.red) << number;
        EXPECT_EQ(Pixel(texture, 3, 1), test.green) << number;
        EXPECT_EQ(Pixel(texture, 4, 0), test.blue) << number;
        EXPECT_EQ(Pixel(texture, 7, 1), test.white) << number;
    }
}

TEST_F(VideoComponentTest, LargerTextureReceivesTheFrameInItsTopLeftCornerOnly) {
    const TestVideo video{8, 4};
    const std::string texturePath = Texture(16, 8);
    auto& player =
        Start("CAIVideo2Texture", {{"sSourceFile", Video(video)}, {"sTargetTexture", texturePath}});
    player.Update();
    IDirect3DTexture8* texture = Target(texturePath);
    EXPECT_TRUE(ShowsFrame(texture, video, 0));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (x >= 8 || y >= 4) {
                ASSERT_EQ(Pixel(texture, x, y), kMarker) << x << "," << y;
            }
        }
    }
}

TEST_F(VideoComponentTest, BadInputIsLoggedAndLeavesTheComponentIdle) {
    const TestVideo video{16, 8};
    const std::string source = Video(video);
    const std::string small = Texture(8, 8, kDdsArgb, "small.dds");
    const std::string luminance = Texture(16, 8, kDdsL8, "luminance.dds");
    const std::string missing = m_dir.WindowsPath() + "missing.mkv";
    struct Case {
        std::string source, texture, message;
    };
    const Case cases[] = {
        {missing, small, "CAIVideo2Texture Error: Failed to initialize video file renderer for " + missing},
        {source, small,
         "CAIVideo2Texture: Target texture (" + small + ") is smaller than source video file (" + source +
             ")."},
        {source, luminance, "CAIVideo2Texture: Texture is format we can't handle! Format = 0x32"},
        {source, m_dir.WindowsPath() + "none.dds",
         "CAIVideo2Texture: Could not obtain the D3DX texture by filename " + m_dir.WindowsPath() +
             "none.dds!"},
    };
    for (const Case& test : cases) {
        auto& player =
            Start("CAIVideo2Texture", {{"sSourceFile", test.source}, {"sTargetTexture", test.texture}});
        EXPECT_TRUE(LogContains(test.message)) << test.message;
        EXPECT_FALSE(dynamic_cast<CAIVideo2Texture&>(player).IsReady());
        player.Update();
        EXPECT_FALSE(m_entity->IsKilled());
    }
    IDirect3DTexture8* untouched = Target(small);
    EXPECT_EQ(Pixel(untouched, 0, 0), kMarker);
}

TEST_F(VideoComponentTest, StreamDeliversFramesInTimeAndLoopsAtTheEndOfTheFile) {
    const TestVideo video{64, 8, 5, 15};
    const std::string texturePath = Texture(64, 8);
    auto& stream =
        Start("CAIVideo2TextureDS", {{"sSourceFile", Video(video)}, {"sTargetTexture", texturePath}});
    ASSERT_TRUE(dynamic_cast<CAIVideo2TextureDS&>(stream).IsRunning());
    IDirect3DTexture8* texture = Target(texturePath);
    // Frame k is due at k / 15 s, that is on tick 4k + 1; the file ends after frame 4.
    for (int tick = 1; tick <= 20; ++tick) {
        stream.Update();
        ASSERT_TRUE(ShowsFrame(texture, video, (tick - 1) / 4)) << tick;
    }
    stream.Update();  // tick 21: end of the file, back to the start
    EXPECT_EQ(dynamic_cast<CAIVideo2TextureDS&>(stream).GetFramesDelivered(), 0);
    stream.Update();
    EXPECT_TRUE(ShowsFrame(texture, video, 0));
    EXPECT_FALSE(m_entity->IsKilled());
}

TEST_F(VideoComponentTest, UnloopedStreamKillsItsEntityAtTheEndAndBadInputIsLogged) {
    const TestVideo video{16, 8, 2, 30};
    const std::string source = Video(video);
    const std::string texturePath = Texture(16, 8);
    auto& stream = Start("CAIVideo2TextureDS",
                         {{"sSourceFile", source}, {"sTargetTexture", texturePath}, {"bLooped", "false"}});
    for (int tick = 1; tick <= 4; ++tick) {
        stream.Update();
        EXPECT_FALSE(m_entity->IsKilled()) << tick;
    }
    stream.Update();
    EXPECT_TRUE(m_entity->IsKilled());

    Start("CAIVideo2TextureDS",
          {{"sSourceFile", m_dir.WindowsPath() + "none.avi"}, {"sTargetTexture", texturePath}});
    EXPECT_TRUE(
        LogContains("CAIVideo2TextureDS: Could not add source filter to graph!  (hr==VFW_E_NOT_FOUND)"));
    m_dir.Write("noise.avi", std::string(512, '\x7f'));
    Start("CAIVideo2TextureDS",
          {{"sSourceFile", m_dir.WindowsPath() + "noise.avi"}, {"sTargetTexture", texturePath}});
    EXPECT_TRUE(LogContains("CAIVideo2TextureDS: Could not add source filter to graph!  hr=0x80040265"));
    const std::string luminance = Texture(16, 8, kDdsL8, "luminance.dds");
    auto& refused = Start("CAIVideo2TextureDS", {{"sSourceFile", source}, {"sTargetTexture", luminance}});
    EXPECT_TRUE(LogContains("CAIVideo2TextureDS: Texture is format we can't handle! Format = 0x32"));
    EXPECT_FALSE(dynamic_cast<CAIVideo2TextureDS&>(refused).IsRunning());
}
