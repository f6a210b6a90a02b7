// Stored window sizes that no device can use, and Alt+Enter when it cannot switch.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/debug_log.h"
#include "app/my_d3d_application.h"
#include "app/resource_ids.h"
#include "engine/global_options.h"
#include "platform/d3d8/recording_control.h"
#include "platform/win32/files.h"
#include "platform/win32/window.h"
#include "resource/paths.h"
#include "resource/translator.h"
#include "resource/xml_bml_converter.h"
#include "resource/xml_cache.h"
#include "tests/support/headless_application.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr char kKey[] = "[HKEY_CURRENT_USER\\SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0]\n";

// Gives tests the framework's reset of the one fatal message per process.
struct FatalErrorReset : CD3DApplication {
    using CD3DApplication::ForgetFatalError;
};

// The largest width and height among the recording adapter's modes, read from a fresh object.
std::pair<UINT, UINT> LargestRecordingMode() {
    IDirect3D8* d3d = d3d8::CreateRecordingDirect3D();
    UINT width = 0, height = 0;
    for (UINT index = 0; index < d3d->GetAdapterModeCount(0); ++index) {
        D3DDISPLAYMODE mode{};
        d3d->EnumAdapterModes(0, index, &mode);
        width = std::max(width, mode.Width);
        height = std::max(height, mode.Height);
    }
    d3d->Release();
    return {width, height};
}

class WindowSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        zumbo::test::PrepareHeadlessApplication(dir);
        FatalErrorReset::ForgetFatalError();
    }
    void TearDown() override {
        if (app && app->GetHWND()) {
            win32::PostMessage(app->GetHWND(), win32::WM_CLOSE, 0, 0);
            app->Run(IDR_ACCELERATOR);
        }
        for (win32::MSG message; win32::PeekMessage(&message, true);) {
        }
        if (app) {
            app->DestroyInstance();
        }
        FatalErrorReset::ForgetFatalError();
    }

    void StoreValues(const std::string& values) {
        dir.Write("registry.reg", "REGEDIT4\n\n" + std::string(kKey) + values);
    }
    HRESULT Create() {
        app = &CMyD3DApplication::Instance();
        return app->Create(nullptr, IDI_MAIN_ICON, IDR_MENU);
    }
    // Ends the program as a close does and returns the registry file it left.
    std::string CloseAndReadRegistry() {
        TearDown();
        app = nullptr;
        std::ifstream in(dir.Path() / "registry.reg");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    zumbo::test::TempDir dir;
    CMyD3DApplication* app = nullptr;
};

TEST_F(WindowSettingsTest, AZeroWindowSizeStartsAtTheMinimumAndIsStoredAsIt) {
    StoreValues("\"FullScreen\"=dword:00000000\n\"Width\"=dword:00000000\n\"Height\"=dword:00000000\n");
    ASSERT_EQ(Create(), S_OK);
    EXPECT_TRUE(app->IsWindowed());
    EXPECT_EQ(app->BackBufferDesc().Width, 100u);
    EXPECT_EQ(app->BackBufferDesc().Height, 100u);
    const std::string registry = CloseAndReadRegistry();
    EXPECT_NE(registry.find("\"Width\"=dword:00000064"), std::string::npos) << registry;
    EXPECT_NE(registry.find("\"Height\"=dword:00000064"), std::string::npos) << registry;
}

TEST_F(WindowSettingsTest, AHugeWindowSizeStartsAtTheLargestDisplayMode) {
    StoreValues("\"FullScreen\"=dword:00000000\n\"Width\"=dword:7fffffff\n\"Height\"=dword:7fffffff\n");
    ASSERT_EQ(Create(), S_OK);
    const auto [width, height] = LargestRecordingMode();
    EXPECT_EQ(app->BackBufferDesc().Width, width);
    EXPECT_EQ(app->BackBufferDesc().Height, height);
}

TEST_F(WindowSettingsTest, ASizeNoDeviceCameUpWithIsNotStored) {
    StoreValues("\"FullScreen\"=dword:00000000\n\"Width\"=dword:00000200\n");
    d3d8::FailNextCreateDevice(E_OUTOFMEMORY);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(FAILED(Create()));
    testing::internal::GetCapturedStderr();
    const std::string registry = CloseAndReadRegistry();
    EXPECT_NE(registry.find("\"Width\"=dword:00000200"), std::string::npos) << registry;
    EXPECT_EQ(registry.find("\"Height\""), std::string::npos) << registry;
}

TEST_F(WindowSettingsTest, AFailedToggleBalancesThePauseAndReportsTheReset) {
    StoreValues("\"FullScreen\"=dword:00000000\n");
    ASSERT_EQ(Create(), S_OK);
    ASSERT_EQ(app->PauseCount(), 0);
    d3d8::RecordingControl::LastDevice()->FailNextReset(E_FAIL);
    testing::internal::CaptureStderr();
    win32::SendMessage(app->GetHWND(), win32::WM_COMMAND, IDM_TOGGLEFULLSCREEN, 0);
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("Could not reset the Direct3D device."), std::string::npos) << shown;
    EXPECT_TRUE(app->IsWindowed());
    EXPECT_EQ(app->PauseCount(), 0);
}

TEST_F(WindowSettingsTest, TheTitleIsTheProductWordThroughTheTranslationTable) {
    enXml table("Localisation");
    enXml* pair = table.AddNewChild("Translator");
    pair->AddAttribute("String", "Zumbo");
    pair->AddAttribute("LocalString", "Zumbo H\xf6hle");
    CXmlBmlConverter converter;
    ASSERT_TRUE(converter.ToBinary(table));
    // The table lies in the program folder only while the application starts.
    const std::filesystem::path file = win32::ToHostPath(GetProgramFolder()) / "Localisation.lbm";
    ASSERT_FALSE(std::filesystem::exists(file));
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(converter.Buffer().data()),
                  static_cast<std::streamsize>(converter.Buffer().size()));
    }
    CTranslator::DestroyInstance();
    XmlCache::DestroyInstance();
    const HRESULT created = Create();
    std::filesystem::remove(file);
    CTranslator::DestroyInstance();
    ASSERT_EQ(created, S_OK);
    EXPECT_EQ(win32::GetWindowText(app->GetHWND()), "Zumbo H\xf6hle");
}

// A framework application whose full-screen settings can be taken away, as on a display that
// offers no full-screen mode.
class ToggleApplication : public tmSingletonGD<ToggleApplication, CD3DApplication> {
public:
    ToggleApplication() { m_bStartFullscreen = false; }
    void GameTick() override {}
    void ForgetFullscreenSettings() { m_d3dSettings.Fullscreen = D3DModeSettings{}; }
};

TEST_F(WindowSettingsTest, ToggleWithoutFullScreenSettingsStaysWindowedAndRuns) {
    ToggleApplication& toggle = ToggleApplication::Instance();
    ASSERT_EQ(toggle.Create(nullptr, IDI_MAIN_ICON, IDR_MENU), S_OK);
    ASSERT_TRUE(toggle.IsWindowed());
    toggle.ForgetFullscreenSettings();
    IDirect3DDevice8* device = toggle.GetDevice();
    const unsigned resets = d3d8::RecordingControl::LastDevice()->Record().Calls("Reset");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(FAILED(toggle.ToggleFullScreen()));
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(shown.empty()) << shown;
    EXPECT_TRUE(toggle.IsWindowed());
    EXPECT_EQ(toggle.GetDevice(), device);
    EXPECT_EQ(d3d8::RecordingControl::LastDevice()->Record().Calls("Reset"), resets);
    EXPECT_EQ(toggle.PauseCount(), 0);
    EXPECT_TRUE(win32::IsWindow(toggle.GetHWND()));

    win32::PostMessage(toggle.GetHWND(), win32::WM_CLOSE, 0, 0);
    toggle.Run(0);
    toggle.DestroyInstance();
}

// A framework application whose displays offer no mode it accepts.
class ModelessApplication : public tmSingletonGD<ModelessApplication, CD3DApplication> {
public:
    ModelessApplication() { m_d3dEnumeration.AppMinFullscreenWidth = 1u << 20; }
    void GameTick() override {}
};

TEST_F(WindowSettingsTest, ADisplayWithoutAUsableModeIsNamedInTheMessage) {
    for (const char* display : {":42", ""}) {
        const zumbo::test::ScopedEnvironmentVariable named("DISPLAY", display);
        const zumbo::test::ScopedEnvironmentVariable wayland("WAYLAND_DISPLAY", nullptr);
        FatalErrorReset::ForgetFatalError();
        ModelessApplication& modeless = ModelessApplication::Instance();
        testing::internal::CaptureStderr();
        EXPECT_EQ(modeless.Create(nullptr, IDI_MAIN_ICON, IDR_MENU), D3DAPPERR_NOCOMPATIBLEDEVICES);
        const std::string shown = testing::internal::GetCapturedStderr();
        EXPECT_NE(shown.find("Could not find any compatible Direct3D"), std::string::npos) << shown;
        const std::string detail = *display ? "The display \":42\" offers no display mode that can be used."
                                            : "No display is named.";
        EXPECT_NE(shown.find(detail), std::string::npos) << shown;
        modeless.DestroyInstance();
    }
}

}  // namespace
