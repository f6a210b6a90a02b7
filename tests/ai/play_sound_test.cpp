// The play-sound component over the sound manager on the silent device, where a sound plays
// for its length in wall-clock time.

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/bass/bass.h"
#include "platform/win32/files.h"
#include "resource/paths.h"
#include "sound/sound_manager.h"
#include "tests/ai/component_fixture.h"
#include "tests/support/scoped_env.h"
#include "tests/support/wav_bytes.h"
#include "tests/support/xml_builder.h"

namespace {

namespace fs = std::filesystem;
using zumbo::test::ComponentRecipe;

class PlaySoundTest : public zumbo::test::ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        // The component reaches the sound manager of the program folder.
        const fs::path sound = win32::ToHostPath(GetProgramFolder() + "Sound");
        fs::create_directories(sound);
        zumbo::test::WriteWhole(sound / "play_sound_short.wav", zumbo::test::ConstantWav(0.1));
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
        m_probeWav = zumbo::test::ConstantWav(0.01);
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
