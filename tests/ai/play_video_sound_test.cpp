// The sound of full-window video, recorded by OpenAL Soft's file-writing back end: heard while
// the picture plays and silenced when the picture ends or the player goes; without a sound
// device the picture plays alone.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <thread>

#include "ai/play_video_file.h"
#include "platform/bass/bass.h"
#include "tests/ai/render_component_fixture.h"
#include "tests/support/audio_signal.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_video.h"
#include "tests/support/test_video_folder.h"
#include "tests/support/wave_output.h"

using namespace zumbo::test;
using namespace std::chrono_literals;

namespace {

constexpr double kTone = 440.0;
constexpr double kAmplitude = 0.5;
constexpr auto kTick = std::chrono::microseconds(16667);
constexpr double kWindow = 0.05;

const auto* const g_environment =
    static_cast<WaveOutputEnvironment*>(::testing::AddGlobalTestEnvironment(new WaveOutputEnvironment));

class PlayVideoSoundTest : public RenderComponentTest {
protected:
    void TearDown() override {
        m_component.reset();
        BASS_Free();
        RenderComponentTest::TearDown();
    }

    // The recording device; the render fixture's back end was chosen already.
    void OpenDevice() {
        unsetenv("ZUMBO_HEADLESS");
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    }
    // Closes the device, which completes the recording.
    static Recording CloseDevice() {
        BASS_Free();
        Recording recording = ReadRecording(g_environment->RecordingPath());
        std::filesystem::remove(g_environment->RecordingPath());
        return recording;
    }

    CAIPlayVideoFile& Play(const TestVideo& video, const std::string& name) {
        m_component = Create({"CAIPlayVideoFile", {{"sFileName", WriteTestVideo(video, m_dir, name)}}},
                             &LoadEntity({}));
        return dynamic_cast<CAIPlayVideoFile&>(*m_component);
    }
    // Ticks at 60 per second of real time, at most `ticks` of them, while the video plays;
    // returns how many ran.
    int RunWhilePlaying(CAIPlayVideoFile& player, int ticks) {
        const auto start = std::chrono::steady_clock::now();
        int ran = 0;
        while (ran < ticks && player.IsPlaying()) {
            player.Update();
            ++ran;
            std::this_thread::sleep_until(start + ran * kTick);
        }
        return ran;
    }

    static TestVideo WithTone(int frames) {
        TestVideo video;
        video.frames = frames;
        video.frameRate = 15;
        video.toneFrequency = kTone;
        video.toneAmplitude = kAmplitude;
        return video;
    }

    TempDir m_dir;
};

// The level of the frequency in overlapping windows over the whole recording.
std::vector<double> Envelope(const Recording& recording, double frequency) {
    std::vector<double> levels;
    for (double t = 0; t + kWindow <= recording.Seconds(); t += kWindow / 2) {
        levels.push_back(recording.ToneLevel(frequency, t, kWindow));
    }
    return levels;
}

// Seconds during which the tone is above half the level given.
double SecondsAbove(const std::vector<double>& levels, double level) {
    return static_cast<double>(
               std::count_if(levels.begin(), levels.end(), [&](double l) { return l > level; })) *
           kWindow / 2;
}

double Peak(const std::vector<double>& levels) {
    return levels.empty() ? 0.0 : *std::max_element(levels.begin(), levels.end());
}

}  // namespace

TEST_F(PlayVideoSoundTest, ToneIsHeardWhileThePicturePlaysAndEndsWithIt) {
    OpenDevice();
    TestVideo video = WithTone(15);  // one second of picture
    video.soundSeconds = 3.0;        // the sound would go on longer
    CAIPlayVideoFile& player = Play(video, "tone.avi");
    ASSERT_TRUE(player.IsPlaying());
    EXPECT_EQ(RunWhilePlaying(player, 180), 61);
    std::this_thread::sleep_for(500ms);
    const Recording recording = CloseDevice();

    const std::vector<double> tone = Envelope(recording, kTone);
    EXPECT_NEAR(Peak(tone), kAmplitude, 0.1 * kAmplitude);
    // It is that tone and no other: neighbouring frequencies stay low.
    EXPECT_LT(Peak(Envelope(recording, 0.75 * kTone)), 0.15 * kAmplitude);
    EXPECT_LT(Peak(Envelope(recording, 1.25 * kTone)), 0.15 * kAmplitude);
    EXPECT_NEAR(SecondsAbove(tone, kAmplitude / 2), 1.0, 0.15);
}

TEST_F(PlayVideoSoundTest, SoundStopsWhenThePlayerGoesMidway) {
    OpenDevice();
    CAIPlayVideoFile& player = Play(WithTone(45), "long.mkv");  // three seconds
    EXPECT_EQ(RunWhilePlaying(player, 30), 30);
    m_component.reset();
    std::this_thread::sleep_for(500ms);
    const std::vector<double> tone = Envelope(CloseDevice(), kTone);
    EXPECT_GT(Peak(tone), 0.9 * kAmplitude);
    EXPECT_NEAR(SecondsAbove(tone, kAmplitude / 2), 0.5, 0.15);
}

TEST_F(PlayVideoSoundTest, VideoWithoutSoundLeavesTheOutputSilent) {
    OpenDevice();
    TestVideo video;
    video.frames = 15;
    CAIPlayVideoFile& player = Play(video, "mute.mkv");
    EXPECT_EQ(RunWhilePlaying(player, 180), 61);
    const Recording recording = CloseDevice();
    ASSERT_GT(recording.Seconds(), 0.8);
    EXPECT_LT(Peak(Envelope(recording, kTone)), 0.001);
    EXPECT_LT(std::abs(recording.MeanLevel(0.0, recording.Seconds())), 0.001);
    EXPECT_FALSE(LogContains("CAIPlayVideoFile: No sound device, playing " + m_dir.WindowsPath() +
                             "mute.mkv without sound"));
}

TEST_F(PlayVideoSoundTest, WithoutASoundDeviceThePictureStillPlaysAndTheLogSaysSo) {
    const std::string expected =
        "CAIPlayVideoFile: No sound device, playing " + m_dir.WindowsPath() + "tone.mkv without sound";
    // Neither an unopened library nor its silent device has anything to play the sound on.
    for (const bool silentDevice : {false, true}) {
        SCOPED_TRACE(silentDevice ? "silent device" : "no device");
        if (silentDevice) {
            ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
        }
        ClearLog();
        const unsigned presentsBefore = Record().presents;
        CAIPlayVideoFile& player = Play(WithTone(3), "tone.mkv");
        EXPECT_TRUE(LogContains(expected));
        for (int tick = 0; tick < 13; ++tick) {
            player.Update();
        }
        EXPECT_FALSE(player.IsPlaying());
        EXPECT_EQ(Record().presents - presentsBefore, 3u);
    }
}
