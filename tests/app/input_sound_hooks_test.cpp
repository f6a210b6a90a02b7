// The application's input and sound hooks, run headless in-process: the controllers fill the
// control state each frame, and window activation reaches the music at once.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/debug_log.h"
#include "app/my_d3d_application.h"
#include "app/resource_ids.h"
#include "engine/global_options.h"
#include "platform/dinput8/test_input.h"
#include "platform/win32/files.h"
#include "platform/win32/window.h"
#include "resource/paths.h"
#include "sound/sound_manager.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_bytes.h"

namespace {

constexpr BYTE DIK_LCONTROL = 0x1D;

class InputSoundHooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ZUMBO_HEADLESS", "1", 1);
        setenv("ZUMBO_FAST_CLOCK", "1", 1);
        setenv("ZUMBO_REGISTRY", (m_dir.Path() / "registry.reg").c_str(), 1);
        dinput8::test::ResetInput();
        CGlobalOptions::Instance().ResetToDefaults();
        CDebugLog::Instance().SetFolder(m_dir.WindowsPath());
        ASSERT_EQ(App().Create(nullptr, IDI_MAIN_ICON, IDR_MENU), S_OK);
        App().ParseCommandLine("/normalinput");
    }
    void TearDown() override {
        App().DestroyInstance();
        CSoundManager::DestroyInstance();
        unsetenv("ZUMBO_FAST_CLOCK");
        dinput8::test::ResetInput();
        CGlobalOptions::Instance().ResetToDefaults();
    }
    static CMyD3DApplication& App() { return CMyD3DApplication::Instance(); }
    static void IdleTurn() {
        App().Timer().AdvanceFastClock();
        ASSERT_EQ(App().Render3DEnvironment(), S_OK);
    }
    static int MusicVolume() {
        DWORD volume = 0;
        const HSTREAM music = CSoundManager::Instance().SlotStream(false);
        return BASS_ChannelGetAttributes(music, nullptr, &volume, nullptr) ? static_cast<int>(volume) : -1;
    }

    zumbo::test::TempDir m_dir;
};

}  // namespace

TEST_F(InputSoundHooksTest, EachFrameTheControllersFillTheControlState) {
    IdleTurn();
    dinput8::test::PressKey(DIK_LCONTROL);
    IdleTurn();
    EXPECT_EQ(App().Controls().Shoot.down, 1);
    EXPECT_EQ(App().Controls().Shoot.pressed, 1);
    IdleTurn();
    EXPECT_EQ(App().Controls().Shoot.down, 1);
    EXPECT_EQ(App().Controls().Shoot.pressed, 0);
}

TEST_F(InputSoundHooksTest, ActivationSilencesAndRestoresTheMusicAtOnce) {
    const std::filesystem::path music = win32::ToHostPath(GetProgramFolder() + "Music");
    std::filesystem::create_directories(music);
    zumbo::test::WriteWhole(music / "hooks_test.wav", zumbo::test::ConstantWav(1.0));
    CGlobalOptions::Instance().iMusicVolume = 60;
    ASSERT_TRUE(CSoundManager::Instance().StartMusic("hooks_test.wav", kMusicSwitchInstant));
    IdleTurn();
    ASSERT_EQ(MusicVolume(), 60);
    App().HandleMessage(App().GetHWND(), win32::WM_ACTIVATE, win32::WA_INACTIVE, 0);
    EXPECT_TRUE(CGlobalOptions::Instance().bInactive);
    EXPECT_EQ(MusicVolume(), 0);
    App().HandleMessage(App().GetHWND(), win32::WM_ACTIVATE, win32::WA_ACTIVE, 0);
    EXPECT_FALSE(CGlobalOptions::Instance().bInactive);
    EXPECT_EQ(MusicVolume(), 60);
}
