// Alt+Enter: the accelerator, and the toggle on the OpenGL back end under a real display.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/debug_log.h"
#include "app/my_d3d_application.h"
#include "app/resource_ids.h"
#include "engine/global_options.h"
#include "platform/win32/window.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr LPARAM kAltDown = 0x20000000;

WPARAM g_lastCommand = 0;

LRESULT RecordCommand(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == win32::WM_COMMAND) {
        g_lastCommand = wParam;
    }
    return 0;
}

TEST(AcceleratorTableTest, AltEnterBecomesTheToggleCommand) {
    setenv("ZUMBO_HEADLESS", "1", 1);
    HWND window = win32::CreateWindow("accelerators", 0, 100, 100, RecordCommand);
    ASSERT_NE(window, nullptr);
    HACCEL table = LoadAcceleratorTable(IDR_ACCELERATOR);
    ASSERT_NE(table, nullptr);

    win32::MSG plainEnter{window, win32::WM_KEYDOWN, win32::VK_RETURN, 0};
    EXPECT_FALSE(win32::TranslateAccelerator(window, table, &plainEnter));
    win32::MSG altEnter{window, win32::WM_SYSKEYDOWN, win32::VK_RETURN, kAltDown};
    EXPECT_TRUE(win32::TranslateAccelerator(window, table, &altEnter));
    EXPECT_EQ(g_lastCommand, IDM_TOGGLEFULLSCREEN);

    EXPECT_EQ(LoadAcceleratorTable(999), nullptr);
    win32::DestroyAcceleratorTable(table);
    win32::DestroyWindow(window);
}

TEST(FullscreenToggleTest, AltEnterTogglesAndBackWithoutRecreatingTheDevice) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    unsetenv("ZUMBO_HEADLESS");
    zumbo::test::TempDir dir;
    dir.Write("registry.reg",
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0]\n"
              "\"FullScreen\"=dword:00000000\n\"Width\"=dword:00000200\n\"Height\"=dword:00000180\n");
    setenv("ZUMBO_REGISTRY", (dir.Path() / "registry.reg").c_str(), 1);
    CGlobalOptions::Instance().ResetToDefaults();
    CDebugLog::Instance().SetFolder(dir.WindowsPath());

    CMyD3DApplication& app = CMyD3DApplication::Instance();
    ASSERT_EQ(app.Create(nullptr, IDI_MAIN_ICON, IDR_MENU), S_OK);
    ASSERT_TRUE(app.IsWindowed());
    IDirect3DDevice8* device = app.GetDevice();
    EXPECT_EQ(app.BackBufferDesc().Width, 512u);
    EXPECT_EQ(app.BackBufferDesc().Height, 384u);

    win32::SendMessage(app.GetHWND(), win32::WM_COMMAND, IDM_TOGGLEFULLSCREEN, 0);
    EXPECT_FALSE(app.IsWindowed());
    EXPECT_EQ(app.GetDevice(), device);
    EXPECT_TRUE(app.IsActive());
    EXPECT_EQ(app.Controls().SuppressControlsOnce, 1);

    win32::SendMessage(app.GetHWND(), win32::WM_COMMAND, IDM_TOGGLEFULLSCREEN, 0);
    EXPECT_TRUE(app.IsWindowed());
    EXPECT_EQ(app.GetDevice(), device);
    EXPECT_EQ(app.BackBufferDesc().Width, 512u);

    // Closing the window ends the program normally and writes the settings.
    win32::PostMessage(app.GetHWND(), win32::WM_CLOSE, 0, 0);
    EXPECT_EQ(app.Run(IDR_ACCELERATOR), 0);
    app.DestroyInstance();
    std::ifstream in(dir.Path() / "registry.reg");
    const std::string registry(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(registry.find("\"FullScreen\"=dword:00000000"), std::string::npos) << registry;
    EXPECT_NE(registry.find("\"Width\"=dword:00000200"), std::string::npos) << registry;
}

}  // namespace
