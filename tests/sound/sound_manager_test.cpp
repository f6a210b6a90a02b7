// The sound manager on the silent device: catalogue, sources, the music slots' volumes tick by
// tick and the music messages.

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/global_options.h"
#include "engine/messages_broker.h"
#include "resource/group_file.h"
#include "resource/paths.h"
#include "sound/sound_manager.h"
#include "tests/support/audio_signal.h"
#include "tests/support/log_capture.h"
#include "tests/support/program_folder_sandbox.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

namespace {

namespace fs = std::filesystem;

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        CGlobalOptions::Instance().ResetToDefaults();
        CGlobalOptions::Instance().iDebugInfoLevel = 5;  // every level the manager logs at
        fs::create_directories(m_sandbox.HostPath() / "Sound");
        fs::create_directories(m_sandbox.HostPath() / "Music");
        for (const char* name :
             {"Music/a.wav", "Music/b.wav", "Music/c.wav", "Sound/click.wav", "Sound/other.wav"}) {
            zumbo::test::WriteTone(m_sandbox.HostPath() / name, 440.0, 0.3, 0.5);
        }
    }
    void TearDown() override {
        m_manager.reset();
        CGroupFile::Instance().Open("");
        CGlobalOptions::Instance().ResetToDefaults();
        CMessagesBroker::Instance().Promote();
    }
    std::string DataFolder() const { return GetProgramFolder() + m_sandbox.Relative() + "\\"; }
    void SaveCatalogue(const enXml& root) { ASSERT_TRUE(root.Save(DataFolder() + "Sound\\AllSounds.xml")); }
    CSoundManager& Start() {
        m_manager = std::make_unique<CSoundManager>(DataFolder());
        m_manager->Init(nullptr);
        return *m_manager;
    }
    static int Volume(DWORD channel) {
        DWORD frequency = 0;
        DWORD volume = 0;
        int pan = 0;
        return BASS_ChannelGetAttributes(channel, &frequency, &volume, &pan) ? static_cast<int>(volume) : -1;
    }
    void TickWith(const char* message) {
        CMessagesBroker& messages = CMessagesBroker::Instance();
        messages.Post(messages.Parse(message));
        messages.Promote();
        m_manager->Tick();
        messages.Promote();
    }
    void Ticks(int count) {
        for (int i = 0; i < count; ++i) {
            m_manager->Tick();
        }
    }

    zumbo::test::ScopedEnvironmentVariable m_headless{"ZUMBO_HEADLESS", "1"};
    zumbo::test::LogCapture m_log;
    zumbo::test::ProgramFolderSandbox m_sandbox;
    std::unique_ptr<CSoundManager> m_manager;
};

}  // namespace

TEST_F(SoundManagerTest, CatalogueKeepsTheFirstOfDuplicatesAndSkipsBrokenEntries) {
    auto root = zumbo::test::MakeRoot("AllSounds");
    zumbo::test::AddElement(*root, "Sound", {{"Name", "Click"}, {"FileName", "click.wav"}});
    zumbo::test::AddElement(*root, "Sound", {{"Name", "click"}, {"FileName", "other.wav"}});
    zumbo::test::AddElement(*root, "Noise", {{"Name", "n"}, {"FileName", "other.wav"}});
    zumbo::test::AddElement(*root, "Sound", {{"FileName", "other.wav"}});
    zumbo::test::AddElement(*root, "Sound", {{"Name", "nofile"}});
    SaveCatalogue(*root);
    CSoundManager& sounds = Start();
    EXPECT_EQ(m_log.Count("has duplicated \"Name\" attribute -- skipping (using first one)."), 1);
    EXPECT_EQ(m_log.Count("Warning: AllSounds.xml\\AllSounds contains wrong tag: \"Noise\"."), 1);
    EXPECT_EQ(m_log.Count("Warning: AllSounds.xml\\AllSounds\\Sound has no \"Name\" attribute."), 1);
    EXPECT_EQ(m_log.Count("Warning: AllSounds.xml\\AllSounds\\Sound has no \"FileName\" attribute."), 1);
    EXPECT_NE(sounds.PlaySound("CLICK"), 0u);
    EXPECT_EQ(m_log.Count("Created Sound Sample from generic file: "), 1);
    EXPECT_EQ(m_log.Count("click.wav"), 1);
    EXPECT_EQ(m_log.Count("other.wav"), 0);
    EXPECT_EQ(sounds.PlaySound("nofile"), 0u);
    EXPECT_EQ(sounds.PlaySound("n"), 0u);
}

TEST_F(SoundManagerTest, WrongRootLeavesTheCatalogueEmpty) {
    auto root = zumbo::test::MakeRoot("Sounds");
    zumbo::test::AddElement(*root, "Sound", {{"Name", "click"}, {"FileName", "click.wav"}});
    SaveCatalogue(*root);
    CSoundManager& sounds = Start();
    EXPECT_EQ(m_log.Count("Warning: AllSounds.xml was not loaded -- root must be named\"AllSounds\"."), 1);
    EXPECT_EQ(sounds.FindSample("click"), 0u);
}

TEST_F(SoundManagerTest, BrokenOrMissingSampleIsReportedOnceAndNothingPlays) {
    m_sandbox.Write("Sound/broken.wav", std::string("RIFF\x24\x00\x00\x00WAVEfmt garbage", 24));
    auto root = zumbo::test::MakeRoot("AllSounds");
    zumbo::test::AddElement(*root, "Sound", {{"Name", "broken"}, {"FileName", "broken.wav"}});
    zumbo::test::AddElement(*root, "Sound", {{"Name", "missing"}, {"FileName", "missing.ogg"}});
    SaveCatalogue(*root);
    CSoundManager& sounds = Start();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sounds.PlaySound("broken"), 0u);
        EXPECT_EQ(sounds.PlaySound("missing"), 0u);
    }
    EXPECT_EQ(m_log.Count("Failed to load Sound Sample from file: "), 2);
    EXPECT_EQ(m_log.Count("broken.wav"), 1);
    EXPECT_EQ(m_log.Count("missing.ogg"), 1);
}

TEST_F(SoundManagerTest, PackedFilesServeWhenThePlainOnesAreMissing) {
    // The archive holds the sandbox's folders below the program folder.
    zumbo::test::TempDir staging;
    const fs::path packedRoot = staging.Path() / "tree" / m_sandbox.Relative();
    fs::create_directories(packedRoot / "Sound");
    fs::create_directories(packedRoot / "Music");
    zumbo::test::WriteTone(packedRoot / "Sound" / "packed.wav", 440.0, 0.3, 0.2);
    zumbo::test::WriteTone(packedRoot / "Music" / "packed.wav", 440.0, 0.3, 0.2);
    zumbo::test::WriteTone(packedRoot / "Music" / "a.wav", 440.0, 0.3, 0.2, 22050);
    const fs::path archive = m_sandbox.HostPath() / "packed.grp";
    const std::string pack = std::string("\"") + ZUMBO_TOOLS_DIR + "/zumbo-grp\" pack \"" +
                             (staging.Path() / "tree").string() + "\" \"" + archive.string() + "\"";
    ASSERT_EQ(std::system(pack.c_str()), 0);
    ASSERT_TRUE(CGroupFile::Instance().Open(DataFolder() + "packed.grp"));
    auto root = zumbo::test::MakeRoot("AllSounds");
    zumbo::test::AddElement(*root, "Sound", {{"Name", "packed"}, {"FileName", "packed.wav"}});
    SaveCatalogue(*root);
    CSoundManager& sounds = Start();

    EXPECT_NE(sounds.PlaySound("packed"), 0u);
    EXPECT_EQ(m_log.Count("Created Sound Sample from grouped file: "), 1);
    EXPECT_TRUE(sounds.StartMusic("packed.wav", kMusicSwitchInstant));
    EXPECT_EQ(m_log.Count("Created Music Stream from grouped file: "), 1);
    // The plain a.wav (44100 Hz) wins over the packed one (22050 Hz).
    EXPECT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    EXPECT_EQ(m_log.Count("Created Music Stream from generic file: "), 1);
    DWORD frequency = 0;
    ASSERT_TRUE(BASS_ChannelGetAttributes(sounds.SlotStream(false), &frequency, nullptr, nullptr));
    EXPECT_EQ(frequency, 44100u);
}

TEST_F(SoundManagerTest, CrossFadeMovesBothSlotsOneAndAHalfPerTick) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    const HSTREAM first = sounds.SlotStream(false);
    Ticks(1);
    EXPECT_EQ(Volume(first), 100);
    ASSERT_TRUE(sounds.StartMusic("b.wav", kMusicSwitchCrossFade));
    const HSTREAM second = sounds.SlotStream(true);
    EXPECT_EQ(Volume(second), 0);
    EXPECT_EQ(BASS_ChannelIsActive(second), BASS_ACTIVE_PLAYING);
    Ticks(10);
    EXPECT_EQ(Volume(first), 85);
    EXPECT_EQ(Volume(second), 15);
    Ticks(56);  // 66 ticks: 99 of the way
    EXPECT_EQ(Volume(first), 1);
    EXPECT_EQ(Volume(second), 99);
    Ticks(1);  // the 67th reaches the targets; the old stream goes
    EXPECT_EQ(Volume(first), -1);
    EXPECT_EQ(sounds.SlotStream(false), second);
    EXPECT_EQ(sounds.SlotStream(true), 0u);
    EXPECT_EQ(Volume(second), 100);
}

TEST_F(SoundManagerTest, ThroughSilenceWaitsForTheOldMusicToFadeOut) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchThroughSilence));
    const HSTREAM first = sounds.SlotStream(false);
    EXPECT_EQ(BASS_ChannelIsActive(first), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(Volume(first), 0);
    Ticks(1);
    EXPECT_EQ(Volume(first), 1);  // 1.5 truncated
    Ticks(70);
    EXPECT_EQ(Volume(first), 100);
    ASSERT_TRUE(sounds.StartMusic("b.wav", kMusicSwitchThroughSilence));
    const HSTREAM second = sounds.SlotStream(true);
    EXPECT_EQ(BASS_ChannelIsActive(second), BASS_ACTIVE_STOPPED);
    Ticks(66);
    EXPECT_EQ(BASS_ChannelIsActive(second), BASS_ACTIVE_STOPPED);
    Ticks(1);  // A is silent and freed: B starts with its first fade step
    EXPECT_EQ(sounds.SlotStream(false), second);
    EXPECT_EQ(BASS_ChannelIsActive(second), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(Volume(second), 1);
}

TEST_F(SoundManagerTest, ASecondSwitchDropsTheFadingOutStreamAtOnce) {
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    const HSTREAM first = sounds.SlotStream(false);
    ASSERT_TRUE(sounds.StartMusic("b.wav", kMusicSwitchCrossFade));
    const HSTREAM second = sounds.SlotStream(true);
    Ticks(20);
    ASSERT_TRUE(sounds.StartMusic("c.wav", kMusicSwitchCrossFade));
    EXPECT_EQ(Volume(first), -1);
    EXPECT_EQ(sounds.SlotStream(false), second);
    EXPECT_NE(sounds.SlotStream(true), 0u);
}

TEST_F(SoundManagerTest, MusicMessagesNeedAPathAndAKnownMode) {
    Start();
    TickWith("MusicStart(a.wav,CrossFade,extra)");
    EXPECT_EQ(m_log.Count("MusicStart message takes two arguments only: path and switch type. Got 3."), 1);
    TickWith("MusicStart(a.wav, CrossFade)");
    EXPECT_EQ(m_log.Count("Unknown MusicStart message argument \" CrossFade\". You can use Instant, "
                          "ThroughSilence or CrossFade only."),
              1);
    EXPECT_EQ(m_manager->SlotStream(false), 0u);
    TickWith("MusicStart(a.wav;;instant)");
    EXPECT_NE(m_manager->SlotStream(false), 0u);
    TickWith("MusicStart(nothing.ogg,Instant)");
    EXPECT_EQ(m_log.Count("Failed to create music stream by file "), 1);
    EXPECT_NE(m_manager->SlotStream(false), 0u);  // the old music keeps playing
    TickWith("MusicStop");
    EXPECT_EQ(m_manager->SlotStream(false), 0u);
    EXPECT_EQ(m_manager->SlotStream(true), 0u);
}

TEST_F(SoundManagerTest, MuteAndInactiveSilenceWithoutForgettingTheVolume) {
    CGlobalOptions& options = CGlobalOptions::Instance();
    options.iMusicVolume = 40;
    options.iSoundVolume = 70;
    auto root = zumbo::test::MakeRoot("AllSounds");
    zumbo::test::AddElement(*root, "Sound", {{"Name", "click"}, {"FileName", "click.wav"}});
    SaveCatalogue(*root);
    CSoundManager& sounds = Start();
    ASSERT_TRUE(sounds.StartMusic("a.wav", kMusicSwitchInstant));
    const HSTREAM music = sounds.SlotStream(false);
    Ticks(1);
    EXPECT_EQ(Volume(music), 40);
    EXPECT_EQ(Volume(sounds.PlaySound("click")), 70);
    options.bMute = true;
    Ticks(1);
    EXPECT_EQ(Volume(music), 0);
    EXPECT_EQ(Volume(sounds.PlaySound("click")), 0);
    options.bMute = false;
    options.bInactive = true;
    sounds.ApplyMusicVolume();
    EXPECT_EQ(Volume(music), 0);
    options.bInactive = false;
    sounds.ApplyMusicVolume();
    EXPECT_EQ(Volume(music), 40);
}

TEST_F(SoundManagerTest, EmptyMusicNameIsSkipped) {
    CSoundManager& sounds = Start();
    EXPECT_TRUE(sounds.StartMusic("", kMusicSwitchCrossFade));
    EXPECT_EQ(m_log.Count("Warning! Tried to creat Music Stream using empty filename. Skipping."), 1);
    EXPECT_EQ(sounds.SlotStream(false), 0u);
}
