// What is heard, read from the WAV that OpenAL Soft's file-writing back end records: music
// switches, stops, voice limits and the inactive window.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "engine/global_options.h"
#include "engine/messages_broker.h"
#include "platform/bass/bass.h"
#include "sound/sound_manager.h"
#include "tests/sound/audio_signal.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

using namespace std::chrono_literals;
using zumbo::test::Recording;

namespace {

constexpr double kToneA = 440.0;
constexpr double kToneB = 1000.0;
constexpr double kAmplitude = 0.4;
constexpr auto kTick = std::chrono::microseconds(16667);
constexpr double kWindow = 0.05;

// OpenAL reads its configuration once per process: one recording file serves every test.
class WaveOutputEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const std::filesystem::path config = m_folder.Path() / "alsoft.conf";
        std::ofstream(config) << "drivers=wave\n[wave]\nfile=" << RecordingPath().string() << "\n";
        setenv("ALSOFT_CONF", config.c_str(), 1);
        unsetenv("ZUMBO_HEADLESS");
    }
    std::filesystem::path RecordingPath() const { return m_folder.Path() / "output.wav"; }

private:
    zumbo::test::TempDir m_folder;
};

const auto* const g_environment =
    static_cast<WaveOutputEnvironment*>(::testing::AddGlobalTestEnvironment(new WaveOutputEnvironment));

class WaveOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        CGlobalOptions::Instance().ResetToDefaults();
        std::filesystem::create_directories(m_data.Path() / "Music");
        std::filesystem::create_directories(m_data.Path() / "Sound");
        zumbo::test::WriteTone(m_data.Path() / "Music" / "a.wav", kToneA, kAmplitude, 3.0);
        zumbo::test::WriteTone(m_data.Path() / "Music" / "b.wav", kToneB, kAmplitude, 3.0);
        zumbo::test::WriteTone(m_data.Path() / "Sound" / "level.wav", 0.0, 0.04, 1.0);
        auto catalogue = zumbo::test::MakeRoot("AllSounds");
        zumbo::test::AddElement(*catalogue, "Sound", {{"Name", "level"}, {"FileName", "level.wav"}});
        ASSERT_TRUE(catalogue->Save(m_data.WindowsPath() + "Sound\\AllSounds.xml"));
    }
    void TearDown() override { CGlobalOptions::Instance().ResetToDefaults(); }

    // Opens the device; times are measured from here, as the recording is.
    CSoundManager& Start() {
        m_manager = std::make_unique<CSoundManager>(m_data.WindowsPath());
        m_manager->Init(nullptr);
        m_start = std::chrono::steady_clock::now();
        m_ticks = 0;
        return *m_manager;
    }
    // Runs game ticks at 60 per second for the given number of ticks.
    void RunTicks(int count) {
        for (int i = 0; i < count; ++i) {
            m_manager->Tick();
            ++m_ticks;
            std::this_thread::sleep_until(m_start + m_ticks * kTick);
        }
    }
    void Post(const char* text) {
        CMessagesBroker& messages = CMessagesBroker::Instance();
        messages.Post(messages.Parse(text));
        messages.Promote();
    }
    void Unpost() { CMessagesBroker::Instance().Promote(); }
    // Seconds since the device opened.
    double Now() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }
    // Closes the device, which completes the recording.
    Recording Stop() {
        m_manager.reset();
        Recording recording = zumbo::test::ReadRecording(g_environment->RecordingPath());
        std::filesystem::remove(g_environment->RecordingPath());
        return recording;
    }

    zumbo::test::TempDir m_data;
    std::unique_ptr<CSoundManager> m_manager;
    std::chrono::steady_clock::time_point m_start;
    int m_ticks = 0;
};

// The first time the tone's level reaches the fraction of the reference, scanning from start.
double TimeLevelReaches(const Recording& recording, double frequency, double fraction, double reference,
                        double start) {
    for (double t = start; t + kWindow < recording.Seconds(); t += kWindow / 2) {
        if (recording.ToneLevel(frequency, t, kWindow) >= fraction * reference) {
            return t;
        }
    }
    return -1.0;
}

double TimeLevelFallsTo(const Recording& recording, double frequency, double fraction, double reference,
                        double start) {
    for (double t = start; t + kWindow < recording.Seconds(); t += kWindow / 2) {
        if (recording.ToneLevel(frequency, t, kWindow) <= fraction * reference) {
            return t;
        }
    }
    return -1.0;
}

}  // namespace

TEST_F(WaveOutputTest, CrossFadeLowersTheOldMusicWhileTheNewOneRises) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    RunTicks(30);
    const double switchTime = Now();
    ASSERT_TRUE(sounds.StartMusic("b.wav", kMusicSwitchCrossFade));
    RunTicks(90);
    const Recording recording = Stop();
    ASSERT_GT(recording.Seconds(), switchTime + 1.3);

    const double full = recording.ToneLevel(kToneA, switchTime - 0.2, 0.15);
    EXPECT_GT(full, 0.5 * kAmplitude * 0.7);
    EXPECT_LT(recording.ToneLevel(kToneB, switchTime - 0.2, 0.15), 0.02 * full);
    // Half way through, both sound at about half the level.
    const double half = switchTime + 33.5 / 60.0;
    EXPECT_NEAR(recording.ToneLevel(kToneA, half - 0.05, 0.1), full / 2, full * 0.15);
    EXPECT_NEAR(recording.ToneLevel(kToneB, half - 0.05, 0.1), full / 2, full * 0.15);
    // From 10 % to 90 % of the way takes 80 % of 67 ticks.
    const double rise = TimeLevelReaches(recording, kToneB, 0.9, full, switchTime) -
                        TimeLevelReaches(recording, kToneB, 0.1, full, switchTime);
    const double fall = TimeLevelFallsTo(recording, kToneA, 0.1, full, switchTime) -
                        TimeLevelFallsTo(recording, kToneA, 0.9, full, switchTime);
    EXPECT_NEAR(rise, 0.8 * 67 / 60.0, 0.15);
    EXPECT_NEAR(fall, 0.8 * 67 / 60.0, 0.15);
    EXPECT_LT(recording.ToneLevel(kToneA, switchTime + 1.25, 0.1), 0.02 * full);
    EXPECT_NEAR(recording.ToneLevel(kToneB, switchTime + 1.25, 0.1), full, full * 0.1);
}

TEST_F(WaveOutputTest, ThroughSilenceFromNothingFadesInFromZero) {
    Start();
    Post("MusicStart(a.wav,ThroughSilence)");
    RunTicks(1);
    Unpost();
    const double startTime = Now();
    RunTicks(90);
    const Recording recording = Stop();

    const double full = recording.ToneLevel(kToneA, startTime + 1.25, 0.1);
    EXPECT_GT(full, 0.5 * kAmplitude * 0.7);
    EXPECT_LT(recording.ToneLevel(kToneA, startTime, kWindow), 0.1 * full);
    EXPECT_NEAR(recording.ToneLevel(kToneA, startTime + 33.5 / 60.0 - 0.05, 0.1), full / 2, full * 0.15);
}

TEST_F(WaveOutputTest, MusicStopSilencesBothSlotsAtOnce) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    RunTicks(10);
    ASSERT_TRUE(sounds.StartMusic("b.wav", kMusicSwitchCrossFade));
    RunTicks(30);
    const double stopTime = Now();
    Post("MusicStop");
    RunTicks(1);
    Unpost();
    RunTicks(20);
    const Recording recording = Stop();

    const double beforeA = recording.ToneLevel(kToneA, stopTime - 0.1, 0.1);
    const double beforeB = recording.ToneLevel(kToneB, stopTime - 0.1, 0.1);
    EXPECT_GT(beforeA, 0.05);
    EXPECT_GT(beforeB, 0.05);
    EXPECT_LT(recording.ToneLevel(kToneA, stopTime + 0.1, 0.1), 0.02 * beforeA);
    EXPECT_LT(recording.ToneLevel(kToneB, stopTime + 0.1, 0.1), 0.02 * beforeB);
}

TEST_F(WaveOutputTest, ElevenPlaysOfOneSampleKeepTenVoices) {
    CSoundManager& sounds = Start();
    ASSERT_NE(sounds.PlaySound("level"), 0u);
    std::this_thread::sleep_for(300ms);
    const double singleTime = Now() - 0.2;
    std::this_thread::sleep_for(900ms);  // the single one ends
    const double manyStart = Now();
    for (int i = 0; i < 11; ++i) {
        ASSERT_NE(sounds.PlaySound("level"), 0u);
    }
    std::this_thread::sleep_for(400ms);
    const Recording recording = Stop();

    const double single = recording.MeanLevel(singleTime, 0.1);
    ASSERT_GT(single, 0.005);
    const double many = recording.MeanLevel(manyStart + 0.2, 0.1);
    EXPECT_NEAR(many / single, 10.0, 0.3);
}

TEST_F(WaveOutputTest, InactiveWindowSilencesMusicAndNewSoundsAndReactivationRestoresAtOnce) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    RunTicks(20);
    const double activeTime = Now();
    CGlobalOptions::Instance().bInactive = true;
    sounds.ApplyMusicVolume();
    ASSERT_NE(sounds.PlaySound("level"), 0u);
    RunTicks(20);
    const double inactiveTime = Now();
    CGlobalOptions::Instance().bInactive = false;
    sounds.ApplyMusicVolume();
    RunTicks(15);
    const Recording recording = Stop();

    const double full = recording.ToneLevel(kToneA, activeTime - 0.15, 0.1);
    EXPECT_GT(full, 0.1);
    EXPECT_LT(recording.ToneLevel(kToneA, activeTime + 0.1, 0.1), 0.02 * full);
    EXPECT_LT(std::abs(recording.MeanLevel(activeTime + 0.1, 0.1)), 0.002);
    // Back to full within the first tenth of a second, without a fade.
    EXPECT_NEAR(recording.ToneLevel(kToneA, inactiveTime + 0.05, 0.1), full, 0.1 * full);
}
