// Windows and messages on the headless back end.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <thread>
#include <vector>

#include "platform/win32/sdl_window.h"
#include "platform/win32/window.h"

using namespace win32;

namespace {

std::vector<MSG> g_received;

LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_received.push_back(MSG{window, message, wParam, lParam});
    return DefWindowProc(window, message, wParam, lParam);
}

LRESULT RefusingProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_CREATE ? -1 : 0;
}

std::vector<UINT> MessagesOf(const std::vector<MSG>& messages) {
    std::vector<UINT> result;
    for (const MSG& message : messages) {
        result.push_back(message.message);
    }
    return result;
}

class HeadlessWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ZUMBO_HEADLESS", "1", 1);
        g_received.clear();
        m_window =
            CreateWindow("Test", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 640, 480, RecordingProcedure);
        ASSERT_NE(m_window, nullptr);
        DrainQueue();
        g_received.clear();
    }
    void TearDown() override {
        if (IsWindow(m_window)) {
            DestroyWindow(m_window);
        }
        DrainQueue();
        unsetenv("ZUMBO_HEADLESS");
    }
    static void DrainQueue() {
        MSG message;
        while (PeekMessage(&message, true)) {
        }
    }
    // Dispatches every waiting message; the quit message ends the pump.
    static void Pump() {
        MSG message;
        while (PeekMessage(&message, true) && message.message != WM_QUIT) {
            DispatchMessage(&message);
        }
    }

    HWND m_window = nullptr;
};

}  // namespace

TEST_F(HeadlessWindowTest, ReportsHeadlessAndHasNoSdlWindow) {
    EXPECT_TRUE(IsHeadless());
    EXPECT_TRUE(IsWindow(m_window));
    EXPECT_EQ(SdlWindowOf(m_window), nullptr);
}

TEST_F(HeadlessWindowTest, CreationSendsCreateAndRefusalGivesNoWindow) {
    HWND second = CreateWindow("Second", WS_POPUP, 10, 10, RecordingProcedure);
    ASSERT_NE(second, nullptr);
    ASSERT_FALSE(g_received.empty());
    EXPECT_EQ(g_received.front().message, WM_CREATE);
    EXPECT_EQ(g_received.front().hwnd, second);
    EXPECT_TRUE(DestroyWindow(second));

    EXPECT_EQ(CreateWindow("Refused", WS_POPUP, 10, 10, RefusingProcedure), nullptr);
}

TEST_F(HeadlessWindowTest, PostedMessagesArriveInOrderAndSentOnesAtOnce) {
    ASSERT_TRUE(PostMessage(m_window, WM_KEYDOWN, VK_SPACE, 1));
    ASSERT_TRUE(PostMessage(m_window, WM_CHAR, ' ', 1));
    ASSERT_TRUE(PostMessage(m_window, WM_KEYUP, VK_SPACE, 1));
    SendMessage(m_window, WM_PAINT, 0, 0);
    EXPECT_EQ(MessagesOf(g_received), (std::vector<UINT>{WM_PAINT}));

    Pump();
    EXPECT_EQ(MessagesOf(g_received), (std::vector<UINT>{WM_PAINT, WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(g_received[2].wParam, WPARAM{' '});
}

TEST_F(HeadlessWindowTest, PeekWithoutRemoveLeavesTheMessage) {
    PostMessage(m_window, WM_COMMAND, 7, 0);
    MSG message;
    ASSERT_TRUE(PeekMessage(&message, false));
    ASSERT_TRUE(PeekMessage(&message, true));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(PeekMessage(&message, true));
}

TEST_F(HeadlessWindowTest, QuitComesAfterThePostedMessagesAndEndsGetMessage) {
    PostQuitMessage(3);
    PostMessage(m_window, WM_COMMAND, 1, 0);
    MSG message;
    ASSERT_TRUE(GetMessage(&message));
    EXPECT_EQ(message.message, WM_COMMAND);
    EXPECT_FALSE(GetMessage(&message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&message, true));
}

TEST_F(HeadlessWindowTest, GetMessageWaitsForAPostFromAnotherThread) {
    std::thread poster([window = m_window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        PostMessage(window, WM_COMMAND, 40006, 0);
    });
    MSG message;
    EXPECT_TRUE(GetMessage(&message));
    poster.join();
    EXPECT_EQ(message.wParam, 40006u);
}

TEST_F(HeadlessWindowTest, DestroyWindowSendsDestroyAndDropsItsMessages) {
    PostMessage(m_window, WM_COMMAND, 1, 0);
    ASSERT_TRUE(DestroyWindow(m_window));
    EXPECT_EQ(MessagesOf(g_received), (std::vector<UINT>{WM_DESTROY}));
    EXPECT_FALSE(IsWindow(m_window));
    MSG message;
    EXPECT_FALSE(PeekMessage(&message, true));
    EXPECT_FALSE(DestroyWindow(m_window));
    EXPECT_FALSE(PostMessage(m_window, WM_COMMAND, 1, 0));
    EXPECT_EQ(SendMessage(m_window, WM_NCHITTEST, 0, 0), 0);
}

TEST_F(HeadlessWindowTest, DefaultCloseDestroysTheWindow) {
    DefWindowProc(m_window, WM_CLOSE, 0, 0);
    EXPECT_EQ(MessagesOf(g_received), (std::vector<UINT>{WM_DESTROY}));
    EXPECT_FALSE(IsWindow(m_window));
}

TEST_F(HeadlessWindowTest, ClientRectExcludesTheFrameAndFollowsTheStyle) {
    RECT wanted{0, 0, 800, 600};
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    ASSERT_TRUE(AdjustWindowRect(&wanted, style, false));
    HWND window = CreateWindow("Sized", style, wanted.right - wanted.left, wanted.bottom - wanted.top,
                               RecordingProcedure);
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);

    SetWindowStyle(window, WS_POPUP | WS_VISIBLE | WS_SYSMENU);
    EXPECT_EQ(GetWindowStyle(window), WS_POPUP | WS_VISIBLE | WS_SYSMENU);
    RECT outer;
    ASSERT_TRUE(GetWindowRect(window, &outer));
    EXPECT_EQ(outer.right - outer.left, 800);
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 800);
    DestroyWindow(window);
}

TEST_F(HeadlessWindowTest, SetWindowPosSendsSizeOnceWithTheClientSize) {
    RECT outer;
    GetWindowRect(m_window, &outer);
    ASSERT_TRUE(SetWindowPos(m_window, 5, 6, outer.right - outer.left + 100, outer.bottom - outer.top + 50,
                             SWP_NOZORDER));
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].message, WM_SIZE);
    EXPECT_EQ(g_received[0].wParam, SIZE_RESTORED);
    RECT client;
    GetClientRect(m_window, &client);
    EXPECT_EQ(LOWORD(g_received[0].lParam), client.right);
    EXPECT_EQ(HIWORD(g_received[0].lParam), client.bottom);
    GetWindowRect(m_window, &outer);
    EXPECT_EQ(outer.left, 5);
    EXPECT_EQ(outer.top, 6);

    g_received.clear();
    SetWindowPos(m_window, 50, 60, 0, 0, SWP_NOSIZE);
    EXPECT_TRUE(g_received.empty());
    POINT point{0, 0};
    ClientToScreen(m_window, &point);
    EXPECT_GT(point.x, 50);
    ScreenToClient(m_window, &point);
    EXPECT_EQ(point.x, 0);
    EXPECT_EQ(point.y, 0);
}

TEST_F(HeadlessWindowTest, AltEnterAcceleratorSendsItsCommand) {
    const std::array<ACCEL, 1> entries{ACCEL{FVIRTKEY | FALT, static_cast<WORD>(VK_RETURN), 40003}};
    HACCEL table = CreateAcceleratorTable(entries);
    ASSERT_NE(table, nullptr);

    const MSG altEnter{m_window, WM_SYSKEYDOWN, VK_RETURN, 1 | KF_ALTDOWN_BIT};
    EXPECT_TRUE(TranslateAccelerator(m_window, table, &altEnter));
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].message, WM_COMMAND);
    EXPECT_EQ(LOWORD(g_received[0].wParam), 40003);

    g_received.clear();
    const MSG plainEnter{m_window, WM_KEYDOWN, VK_RETURN, 1};
    const MSG altRelease{m_window, WM_SYSKEYUP, VK_RETURN, 1 | KF_ALTDOWN_BIT | KF_UP_BIT};
    const MSG altSpace{m_window, WM_SYSKEYDOWN, VK_SPACE, 1 | KF_ALTDOWN_BIT};
    EXPECT_FALSE(TranslateAccelerator(m_window, table, &plainEnter));
    EXPECT_FALSE(TranslateAccelerator(m_window, table, &altRelease));
    EXPECT_FALSE(TranslateAccelerator(m_window, table, &altSpace));
    EXPECT_TRUE(g_received.empty());
    EXPECT_TRUE(DestroyAcceleratorTable(table));
}

TEST_F(HeadlessWindowTest, AcceleratorRequiresExactlyItsModifiers) {
    const std::array<ACCEL, 1> entries{ACCEL{FVIRTKEY | FCONTROL, 'S', 5}};
    HACCEL table = CreateAcceleratorTable(entries);
    const MSG pressS{m_window, WM_KEYDOWN, 'S', 1};
    EXPECT_FALSE(TranslateAccelerator(m_window, table, &pressS));

    PostMessage(m_window, WM_KEYDOWN, VK_CONTROL, 1 | (0x1D << 16));
    Pump();
    EXPECT_TRUE(TranslateAccelerator(m_window, table, &pressS));
    PostMessage(m_window, WM_KEYUP, VK_CONTROL, 1 | (0x1D << 16) | KF_UP_BIT);
    Pump();
    EXPECT_FALSE(TranslateAccelerator(m_window, table, &pressS));
    DestroyAcceleratorTable(table);
}

TEST_F(HeadlessWindowTest, KeyStateFollowsTheMessagesTakenFromTheQueue) {
    const LPARAM rightAlt = 1 | (0x38 << 16) | KF_EXTENDED_BIT | KF_ALTDOWN_BIT;
    PostMessage(m_window, WM_SYSKEYDOWN, VK_MENU, 1 | (0x38 << 16) | KF_ALTDOWN_BIT);
    EXPECT_GE(GetKeyState(static_cast<int>(VK_LMENU)), 0);  // not yet taken
    Pump();
    EXPECT_LT(GetKeyState(static_cast<int>(VK_LMENU)), 0);
    EXPECT_LT(GetKeyState(static_cast<int>(VK_MENU)), 0);
    EXPECT_GE(GetKeyState(static_cast<int>(VK_RMENU)), 0);

    PostMessage(m_window, WM_SYSKEYUP, VK_MENU, 1 | (0x38 << 16) | KF_UP_BIT);
    PostMessage(m_window, WM_SYSKEYDOWN, VK_MENU, rightAlt);
    Pump();
    EXPECT_GE(GetKeyState(static_cast<int>(VK_LMENU)), 0);
    EXPECT_LT(GetKeyState(static_cast<int>(VK_RMENU)), 0);
    PostMessage(m_window, WM_SYSKEYUP, VK_MENU, rightAlt | KF_UP_BIT);
    Pump();
    EXPECT_GE(GetKeyState(static_cast<int>(VK_MENU)), 0);
    EXPECT_EQ(GetKeyState(-1), 0);
    EXPECT_EQ(GetKeyState(4096), 0);
}

TEST_F(HeadlessWindowTest, LosingTheFocusLetsGoOfHeldKeys) {
    PostMessage(m_window, WM_SYSKEYDOWN, VK_MENU, 1 | (0x38 << 16) | KF_ALTDOWN_BIT);
    PostMessage(m_window, WM_ACTIVATE, WA_INACTIVE, 0);
    Pump();
    EXPECT_GE(GetKeyState(static_cast<int>(VK_LMENU)), 0);
    EXPECT_GE(GetKeyState(static_cast<int>(VK_MENU)), 0);
}

TEST_F(HeadlessWindowTest, AltF4ClosesThroughTheDefaultProcedure) {
    DefWindowProc(m_window, WM_SYSKEYDOWN, VK_F4, 1 | KF_ALTDOWN_BIT);
    EXPECT_FALSE(IsWindow(m_window));
}

TEST_F(HeadlessWindowTest, MessageBoxAnswersItsDefaultButtonOnStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox(m_window, "Could not reset the Direct3D device.", "Game", MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "Install?", "Zumbo", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBox(nullptr, "Go on?", "Zumbo", MB_OKCANCEL), IDOK);
    const std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("Game"), std::string::npos);
    EXPECT_NE(output.find("Could not reset the Direct3D device."), std::string::npos);
    EXPECT_NE(output.find("Install?"), std::string::npos);
}

TEST_F(HeadlessWindowTest, CursorDisplayCounterCountsLikeWin32) {
    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_EQ(ShowCursor(false), -2);
    EXPECT_EQ(ShowCursor(true), -1);
    EXPECT_EQ(ShowCursor(true), 0);
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursor(nullptr, 32513), nullptr);
    EXPECT_EQ(SetCursor(nullptr), arrow);
    DefWindowProc(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(SetCursor(arrow), arrow);
    RECT clip{0, 0, 10, 10};
    EXPECT_TRUE(ClipCursor(&clip));
    EXPECT_TRUE(ClipCursor(nullptr));
}
