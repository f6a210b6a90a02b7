// The play-sound component over the sound manager on the silent device, where a sound plays
// for its length in wall-clock time.

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "platform/bass/bass.h"
#include "platform/win32/files.h"
#include "resource/paths.h"
#include "sound/sound_manager.h"
#include "tests/ai/component_fixture.h"
#include "tests/support/scoped_env.h"
#include "tests/support/xml_builder.h"

namespace {

namespace fs = std::filesystem;
using zumbo::test::ComponentRecipe;

constexpr int kRate = 8000;

// A 16-bit mono PCM WAV of the given length, every sample at a quarter of full scale.
std::vector<std::uint8_t> ToneWav(double seconds) {
    const auto frames = static_cast<std::uint32_t>(seconds * kRate);
    const std::uint32_t dataBytes = frames * 2;
    std::vector<std::uint8_t> bytes;
    auto text = [&](std::string_view four) {
        for (char c : four) {
            bytes.push_back(static_cast<std::uint8_t>(c));
        }
    };
    auto number = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    text("RIFF");
    number(36 + dataBytes, 4);
    text("WAVE");
    text("fmt ");
    number(16, 4);
    number(1, 2);  // PCM
    number(1, 2);  // mono
    number(kRate, 4);
    number(kRate * 2, 4);
    number(2, 2);
    number(16, 2);
    text("data");
    number(dataBytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        number(0x2000, 2);
    }
    return bytes;
}

// Test programs running side by side write the same files: each appears whole or not at all.
void WriteWhole(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const fs::path temporary = path.string() + "." + std::to_string(::getpid()) + ".tmp";
    std::ofstream(temporary, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    fs::rename(temporary, path);
}

class PlaySoundTest : public zumbo::test::ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        // The component reaches the sound manager of the program folder.
        const fs::path sound = win32::ToHostPath(GetProgramFolder() + "Sound");
        fs::create_directories(sound);
        WriteWhole(sound / "play_sound_short.wav", ToneWav(0.1));
        auto root = zumbo::test::MakeRoot("AllSounds");
        for (const char* name : {"one", "two", "three"}) {
            zumbo::test::AddElement(*root, "Sound", {{"Name", name}, {"FileName", "play_sound_short.wav"}});
        }
        ASSERT_TRUE(root->Save(GetProgramFolder() + "Sound\\AllSounds.xml"));
        CSoundManager& sounds = CSoundManager::Instance();
        sounds.Init(nullptr);
        // Loaded now, so that the handles taken later are all channels.
        for (const char* name : {"one", "two", "three"}) {
            ASSERT_NE(sounds.FindSample(name), 0u);
        }
        m_probeWav = ToneWav(0.01);
        m_probe = BASS_SampleLoad(1, m_probeWav.data(), 0, static_cast<DWORD>(m_probeWav.size()), 1, 0);
        ASSERT_NE(m_probe, 0u);
        PlaysSinceLastLook();
    }
    void TearDown() override {
        CSoundManager::DestroyInstance();
        ComponentTest::TearDown();
    }
    // The library numbers channels in the order it hands them out, so the probe's new
    // channel tells how many others were taken since the last look.
    int PlaysSinceLastLook() {
        const HCHANNEL probe = BASS_SampleGetChannel(m_probe, 0);
        const int taken = static_cast<int>(probe - m_lastProbe) - 1;
        m_lastProbe = probe;
        return taken;
    }
    // Plays per tick over the given number of ticks.
    std::vector<int> Run(C_AI& component, int ticks) {
        std::vector<int> plays;
        for (int i = 0; i < ticks; ++i) {
            component.Update();
            plays.push_back(PlaysSinceLastLook());
        }
        return plays;
    }
    static std::vector<int> PlayTicks(const std::vector<int>& plays) {
        std::vector<int> ticks;
        for (std::size_t i = 0; i < plays.size(); ++i) {
            for (int n = 0; n < plays[i]; ++n) {
                ticks.push_back(static_cast<int>(i) + 1);
            }
        }
        return ticks;
    }

    zumbo::test::ScopedEnvironmentVariable m_headless{"ZUMBO_HEADLESS", "1"};
    std::vector<std::uint8_t> m_probeWav;
    HSAMPLE m_probe = 0;
    HCHANNEL m_lastProbe = 0;
};

}  // namespace

TEST_F(PlaySoundTest, WithoutDelayOrWaitingALoopPlaysEveryNameEveryTick) {
    const auto component = Create({"CAIPlaySound", {{"sSoundsNames", "one;two,,"}, {"bLoop", "1"}}});
    EXPECT_EQ(Run(*component, 4), (std::vector<int>{2, 2, 2, 2}));
}

TEST_F(PlaySoundTest, ADelayPlaysOneNameEveryDelayTicksThenTheEntityDies) {
    CEntity& entity = LoadEntity({});
    const auto component =
        Create({"CAIPlaySound", {{"sSoundsNames", "one,two,three"}, {"iDelay", "30"}, {"bDieOnFinish", "1"}}},
               &entity);
    const std::vector<int> plays = Run(*component, 61);
    EXPECT_EQ(PlayTicks(plays), (std::vector<int>{1, 31, 61}));
    EXPECT_FALSE(entity.IsKilled());
    component->Update();
    EXPECT_TRUE(entity.IsKilled());
    EXPECT_EQ(PlaysSinceLastLook(), 0);
}

TEST_F(PlaySoundTest, WaitingStartsTheNextSoundDelayTicksAfterThePreviousEnded) {
    const auto component = Create(
        {"CAIPlaySound", {{"sSoundsNames", "one,two"}, {"iDelay", "10"}, {"bWaitForPrevFinish", "1"}}});
    EXPECT_EQ(Run(*component, 5), (std::vector<int>{1, 0, 0, 0, 0}));  // the first one still sounds
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    // The tick that sees the end starts the count; the tenth after it plays.
    EXPECT_EQ(PlayTicks(Run(*component, 12)), (std::vector<int>{11}));
}

TEST_F(PlaySoundTest, EmptyListWithoutLoopIsFinishedAtOnce) {
    CEntity& entity = LoadEntity({});
    const auto component = Create({"CAIPlaySound", {{"bDieOnFinish", "1"}}}, &entity);
    component->Update();
    EXPECT_TRUE(entity.IsKilled());
}

TEST_F(PlaySoundTest, AMissingNameStillCountsAsPlayed) {
    CEntity& entity = LoadEntity({});
    const auto component = Create(
        {"CAIPlaySound", {{"sSoundsNames", "nosuch,one"}, {"iDelay", "2"}, {"bDieOnFinish", "1"}}}, &entity);
    EXPECT_EQ(Run(*component, 4), (std::vector<int>{0, 0, 1, 0}));
    EXPECT_TRUE(entity.IsKilled());
}
