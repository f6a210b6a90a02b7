// What is heard, read from the WAV that OpenAL Soft's file-writing back end records: music
// switches, stops, voice limits and the inactive window.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <numbers>
#include <thread>

#include "engine/global_options.h"
#include "engine/messages_broker.h"
#include "platform/bass/bass.h"
#include "sound/sound_manager.h"
#include "tests/support/audio_signal.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wave_output.h"
#include "tests/support/xml_builder.h"

using namespace std::chrono_literals;
using zumbo::test::Recording;

namespace {

constexpr double kToneA = 440.0;
constexpr double kToneB = 1000.0;
constexpr double kAmplitude = 0.4;
constexpr auto kTick = std::chrono::microseconds(16667);
constexpr double kWindow = 0.05;

const auto* const g_environment = static_cast<zumbo::test::WaveOutputEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new zumbo::test::WaveOutputEnvironment));

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

constexpr double kStep = kWindow / 2;

// The tone's level in overlapping windows over the whole recording. The tests find events in
// it rather than trusting the wall clock: under load the writer catches up in bursts.
std::vector<double> Envelope(const Recording& recording, double frequency) {
    std::vector<double> levels;
    for (double t = 0; t + kWindow <= recording.Seconds(); t += kStep) {
        levels.push_back(recording.ToneLevel(frequency, t, kWindow));
    }
    return levels;
}

std::vector<double> MeanEnvelope(const Recording& recording) {
    std::vector<double> levels;
    for (double t = 0; t + kWindow <= recording.Seconds(); t += kStep) {
        levels.push_back(recording.MeanLevel(t, kWindow));
    }
    return levels;
}

double Peak(const std::vector<double>& levels) {
    return levels.empty() ? 0.0 : *std::max_element(levels.begin(), levels.end());
}

// The first window from `from` on whose level passes the test; levels.size() when none.
template <class Test>
std::size_t FirstWindow(const std::vector<double>& levels, std::size_t from, Test test) {
    for (std::size_t i = from; i < levels.size(); ++i) {
        if (test(levels[i])) {
            return i;
        }
    }
    return levels.size();
}

double Span(std::size_t first, std::size_t last) {
    return (static_cast<double>(last) - static_cast<double>(first)) * kStep;
}

// A full fade moves 1.5 per tick, so a part of it takes that part of 67 ticks.
constexpr double FadeSeconds(double part) {
    return part * 67.0 / 60.0;
}

}  // namespace

TEST_F(WaveOutputTest, CrossFadeLowersTheOldMusicWhileTheNewOneRises) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    RunTicks(30);
    ASSERT_TRUE(sounds.StartMusic("b.wav", kMusicSwitchCrossFade));
    RunTicks(90);
    const Recording recording = Stop();
    const std::vector<double> a = Envelope(recording, kToneA);
    const std::vector<double> b = Envelope(recording, kToneB);
    const double fullA = Peak(a);
    const double fullB = Peak(b);
    ASSERT_GT(fullA, 0.1);
    EXPECT_NEAR(fullB, fullA, 0.1 * fullA);

    const std::size_t aHeard = FirstWindow(a, 0, [&](double level) { return level > 0.9 * fullA; });
    const std::size_t aFalls = FirstWindow(a, aHeard, [&](double level) { return level < 0.9 * fullA; });
    const std::size_t aLow = FirstWindow(a, aFalls, [&](double level) { return level < 0.1 * fullA; });
    const std::size_t bRises = FirstWindow(b, 0, [&](double level) { return level > 0.1 * fullB; });
    const std::size_t bHigh = FirstWindow(b, bRises, [&](double level) { return level > 0.9 * fullB; });
    ASSERT_LT(bHigh, b.size());
    ASSERT_LT(aLow, a.size());
    EXPECT_GT(Span(aHeard, aFalls), 0.3);  // A played alone at full level first
    EXPECT_NEAR(Span(aFalls, aLow), FadeSeconds(0.8), 0.2);
    EXPECT_NEAR(Span(bRises, bHigh), FadeSeconds(0.8), 0.2);
    EXPECT_LT(std::abs(Span(aFalls, bRises)), 0.15);  // the two fades run together
    const std::size_t middle = (bRises + bHigh) / 2;
    EXPECT_NEAR(a[middle], b[middle], 0.2 * fullA);
    EXPECT_LT(a.back(), 0.02 * fullA);
    EXPECT_GT(b.back(), 0.9 * fullB);
}

TEST_F(WaveOutputTest, ThroughSilenceFromNothingFadesInFromZero) {
    Start();
    Post("MusicStart(a.wav,ThroughSilence)");
    RunTicks(1);
    Unpost();
    RunTicks(90);
    const Recording recording = Stop();
    const std::vector<double> a = Envelope(recording, kToneA);
    const double full = Peak(a);
    ASSERT_GT(full, 0.1);
    const std::size_t onset = FirstWindow(a, 0, [&](double level) { return level > 0.02 * full; });
    const std::size_t high = FirstWindow(a, onset, [&](double level) { return level > 0.9 * full; });
    ASSERT_LT(high, a.size());
    EXPECT_LT(a[onset + 1], 0.2 * full);  // it starts quietly, not at full level
    EXPECT_NEAR(Span(onset, high), FadeSeconds(0.88), 0.2);
}

TEST_F(WaveOutputTest, MusicStopSilencesBothSlotsAtOnce) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    RunTicks(10);
    ASSERT_TRUE(sounds.StartMusic("b.wav", kMusicSwitchCrossFade));
    RunTicks(30);
    Post("MusicStop");
    RunTicks(1);
    Unpost();
    RunTicks(20);
    const Recording recording = Stop();
    const std::vector<double> a = Envelope(recording, kToneA);
    const std::vector<double> b = Envelope(recording, kToneB);
    const double fullA = Peak(a);
    ASSERT_GT(fullA, 0.1);
    // Half way into the cross-fade both sound; then both are gone in the same moment.
    const std::size_t bHeard = FirstWindow(b, 0, [&](double level) { return level > 0.3 * fullA; });
    ASSERT_LT(bHeard, b.size());
    const std::size_t aGone = FirstWindow(a, bHeard, [&](double level) { return level < 0.02 * fullA; });
    const std::size_t bGone = FirstWindow(b, bHeard, [&](double level) { return level < 0.02 * fullA; });
    ASSERT_LT(aGone, a.size());
    EXPECT_LE(std::abs(Span(aGone, bGone)), kWindow);
    EXPECT_GT(a[aGone - 2], 0.3 * fullA);  // no fade-out before
    EXPECT_GT(b[bGone - 2], 0.3 * fullA);
    EXPECT_GT(Span(aGone, a.size()), 0.2);
    EXPECT_LT(Peak({a.begin() + static_cast<std::ptrdiff_t>(aGone), a.end()}), 0.02 * fullA);
    EXPECT_LT(Peak({b.begin() + static_cast<std::ptrdiff_t>(bGone), b.end()}), 0.02 * fullA);
}

TEST_F(WaveOutputTest, ElevenPlaysOfOneSampleKeepTenVoices) {
    CSoundManager& sounds = Start();
    ASSERT_NE(sounds.PlaySound("level"), 0u);
    std::this_thread::sleep_for(1200ms);  // the single one ends
    for (int i = 0; i < 11; ++i) {
        ASSERT_NE(sounds.PlaySound("level"), 0u);
    }
    std::this_thread::sleep_for(400ms);
    const Recording recording = Stop();
    const std::vector<double> levels = MeanEnvelope(recording);
    const double many = Peak(levels);
    // The single voice's plateau comes before the many voices start.
    const std::size_t manyStart = FirstWindow(levels, 0, [&](double level) { return level > 0.5 * many; });
    ASSERT_GT(manyStart, 2u);
    const double single = Peak({levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(manyStart - 2)});
    ASSERT_GT(single, 0.005);
    EXPECT_NEAR(many / single, 10.0, 0.3);
}

TEST_F(WaveOutputTest, InactiveWindowSilencesMusicAndNewSoundsAndReactivationRestoresAtOnce) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    RunTicks(20);
    CGlobalOptions::Instance().bInactive = true;
    sounds.ApplyMusicVolume();
    ASSERT_NE(sounds.PlaySound("level"), 0u);
    RunTicks(20);
    CGlobalOptions::Instance().bInactive = false;
    sounds.ApplyMusicVolume();
    RunTicks(15);
    const Recording recording = Stop();
    const std::vector<double> a = Envelope(recording, kToneA);
    const double full = Peak(a);
    ASSERT_GT(full, 0.1);
    const std::size_t heard = FirstWindow(a, 0, [&](double level) { return level > 0.9 * full; });
    const std::size_t silent = FirstWindow(a, heard, [&](double level) { return level < 0.02 * full; });
    const std::size_t back = FirstWindow(a, silent, [&](double level) { return level > 0.9 * full; });
    ASSERT_LT(back, a.size());
    EXPECT_GT(Span(silent, back), 0.2);
    // Back without a fade: still silent three steps before.
    EXPECT_LT(a[back - 3], 0.1 * full);
    // The sound played while inactive is not heard at all.
    const std::vector<double> means = MeanEnvelope(recording);
    EXPECT_LT(Peak(means), 0.01);  // one voice of it would give about 0.03
}

namespace {

// A user stream's procedure: a stereo sine of tone A, ending after `frames` frames.
struct SineProcedure {
    std::size_t frames;
    std::size_t made = 0;
    std::atomic<int> calls{0};

    static DWORD Make(HSTREAM, void* buffer, DWORD length, void* user) {
        auto& sine = *static_cast<SineProcedure*>(user);
        ++sine.calls;
        auto* out = static_cast<std::int16_t*>(buffer);
        const std::size_t wanted = length / 4;
        const std::size_t count = std::min(wanted, sine.frames - sine.made);
        for (std::size_t i = 0; i < count; ++i, ++sine.made) {
            const double phase = 2.0 * std::numbers::pi * kToneA * static_cast<double>(sine.made) / 44100.0;
            out[2 * i] = out[2 * i + 1] =
                static_cast<std::int16_t>(std::lround(kAmplitude * 32767.0 * std::sin(phase)));
        }
        const DWORD bytes = static_cast<DWORD>(count * 4);
        return count < wanted ? bytes | BASS_STREAMPROC_END : bytes;
    }
};

// Seconds during which tone A is heard at more than half its peak.
double ToneSeconds(const Recording& recording) {
    const std::vector<double> a = Envelope(recording, kToneA);
    const double full = Peak(a);
    const std::size_t heard = FirstWindow(a, 0, [&](double level) { return level > 0.5 * full; });
    const std::size_t gone = FirstWindow(a, heard, [&](double level) { return level < 0.5 * full; });
    return Span(heard, gone);
}

}  // namespace

TEST_F(WaveOutputTest, UserStreamShorterThanTheQueuePlaysWhatItsProcedureMakesUntilTheProcedureEnds) {
    Start();
    SineProcedure sine{44100 / 2};
    const HSTREAM stream = BASS_StreamCreate(44100, 2, 0, &SineProcedure::Make, &sine);
    ASSERT_NE(stream, 0u);
    // A new stream starts at its beginning without being asked to restart.
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_PLAYING);
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(BASS_ChannelIsActive(stream), BASS_ACTIVE_STOPPED);  // played out
    const Recording recording = Stop();
    EXPECT_GT(Peak(Envelope(recording, kToneA)), 0.9 * kAmplitude);
    EXPECT_NEAR(ToneSeconds(recording), 0.5, 0.1);
}

TEST_F(WaveOutputTest, FreedUserStreamFallsSilentAndItsProcedureIsNoLongerAsked) {
    Start();
    SineProcedure endless{std::numeric_limits<std::size_t>::max()};
    const HSTREAM stream = BASS_StreamCreate(44100, 2, 0, &SineProcedure::Make, &endless);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 1));
    std::this_thread::sleep_for(600ms);
    ASSERT_TRUE(BASS_StreamFree(stream));
    const int callsWhenFreed = endless.calls;
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(endless.calls, callsWhenFreed);
    const Recording recording = Stop();
    EXPECT_NEAR(ToneSeconds(recording), 0.6, 0.15);
}
