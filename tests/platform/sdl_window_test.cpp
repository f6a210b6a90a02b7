// Windows and messages on the SDL back end; needs a display (CI runs the tests under Xvfb).

#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <functional>
#include <vector>

#include "platform/win32/sdl_window.h"
#include "platform/win32/window.h"

using namespace win32;

namespace {

std::vector<MSG> g_received;

LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_received.push_back(MSG{window, message, wParam, lParam});
    return message == WM_CLOSE ? 0 : DefWindowProc(window, message, wParam, lParam);
}

class SdlWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!getenv("DISPLAY")) {
            GTEST_SKIP() << "no display";
        }
        unsetenv("ZUMBO_HEADLESS");
        g_received.clear();
        m_window = CreateWindow("Zumbo test", WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 320, 240,
                                RecordingProcedure);
        ASSERT_NE(m_window, nullptr);
        ASSERT_FALSE(IsHeadless());
        m_sdlWindow = SdlWindowOf(m_window);
        ASSERT_NE(m_sdlWindow, nullptr);
        PumpFor(std::chrono::milliseconds(200));
        g_received.clear();
    }
    void TearDown() override {
        if (IsWindow(m_window)) {
            DestroyWindow(m_window);
        }
        MSG message;
        while (PeekMessage(&message, true)) {
        }
    }

    static void PumpFor(std::chrono::milliseconds duration) {
        WaitFor([] { return false; }, duration);
    }
    // Dispatches messages until the condition holds or the time is up.
    static bool WaitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            MSG message;
            while (PeekMessage(&message, true)) {
                DispatchMessage(&message);
            }
            if (condition()) {
                return true;
            }
            SDL_Delay(5);
        }
        return condition();
    }
    static const MSG* Find(UINT message) {
        for (const MSG& received : g_received) {
            if (received.message == message) {
                return &received;
            }
        }
        return nullptr;
    }
    void PushKey(Uint32 type, SDL_Scancode scancode, SDL_Keycode keycode, Uint16 modifiers = KMOD_NONE) {
        SDL_Event event{};
        event.type = type;
        event.key.windowID = SDL_GetWindowID(m_sdlWindow);
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = keycode;
        event.key.keysym.mod = modifiers;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    HWND m_window = nullptr;
    SDL_Window* m_sdlWindow = nullptr;
};

}  // namespace

TEST_F(SdlWindowTest, ClientSizeIsTheSdlWindowSize) {
    RECT client;
    ASSERT_TRUE(GetClientRect(m_window, &client));
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(m_sdlWindow, &width, &height);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
    EXPECT_TRUE(SDL_GetWindowFlags(m_sdlWindow) & SDL_WINDOW_OPENGL);
    EXPECT_TRUE(SDL_GetWindowFlags(m_sdlWindow) & SDL_WINDOW_RESIZABLE);
}

TEST_F(SdlWindowTest, ResizeIsReportedAsSize) {
    SDL_SetWindowSize(m_sdlWindow, 400, 300);
    ASSERT_TRUE(WaitFor([] {
        const MSG* size = Find(WM_SIZE);
        return size && LOWORD(size->lParam) == 400 && HIWORD(size->lParam) == 300;
    }));
    EXPECT_EQ(Find(WM_SIZE)->wParam, SIZE_RESTORED);
    RECT client;
    GetClientRect(m_window, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
}

TEST_F(SdlWindowTest, KeyEventsBecomeKeyMessages) {
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a);
    PushKey(SDL_KEYUP, SDL_SCANCODE_A, SDLK_a);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_F10, SDLK_F10);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
    ASSERT_TRUE(WaitFor([] { return g_received.size() >= 6; }));
    ASSERT_EQ(g_received.size(), 6u);
    EXPECT_EQ(g_received[0].message, WM_KEYDOWN);
    EXPECT_EQ(g_received[0].wParam, WPARAM{'A'});
    EXPECT_EQ((g_received[0].lParam >> 16) & 0xFF, 0x1E);
    EXPECT_EQ(g_received[1].message, WM_KEYUP);
    EXPECT_TRUE(g_received[1].lParam & KF_UP_BIT);
    EXPECT_EQ(g_received[2].message, WM_SYSKEYDOWN);
    EXPECT_EQ(g_received[2].wParam, VK_RETURN);
    EXPECT_TRUE(g_received[2].lParam & KF_ALTDOWN_BIT);
    EXPECT_EQ(g_received[3].message, WM_SYSKEYDOWN);
    EXPECT_EQ(g_received[3].wParam, VK_F10);
    EXPECT_EQ(g_received[4].message, WM_KEYDOWN);
    EXPECT_EQ(g_received[5].message, WM_CHAR);
    EXPECT_EQ(g_received[5].wParam, VK_BACK);
}

TEST_F(SdlWindowTest, TextInputGivesOneCharacterPerLetter) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = SDL_GetWindowID(m_sdlWindow);
    SDL_strlcpy(event.text.text, "a\xC3\xA9\xE2\x82\xAC", sizeof event.text.text);  // a, e acute, euro
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    ASSERT_TRUE(WaitFor([] { return g_received.size() >= 3; }));
    ASSERT_EQ(g_received.size(), 3u);
    EXPECT_EQ(g_received[0].wParam, WPARAM{'a'});
    EXPECT_EQ(g_received[1].wParam, WPARAM{0xE9});
    EXPECT_EQ(g_received[2].wParam, WPARAM{'?'});
}

TEST_F(SdlWindowTest, QuitAndCloseRequestsBecomeOneClose) {
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(m_sdlWindow);
    SDL_PushEvent(&close);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    MSG message;
    std::vector<UINT> closes;
    while (PeekMessage(&message, true)) {
        if (message.message == WM_CLOSE) {
            closes.push_back(message.message);
            EXPECT_EQ(message.hwnd, m_window);
        }
    }
    EXPECT_EQ(closes.size(), 1u);

    SDL_PushEvent(&quit);
    ASSERT_TRUE(WaitFor([] { return Find(WM_CLOSE) != nullptr; }));
}

TEST_F(SdlWindowTest, MouseEventsBecomeMouseMessages) {
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = SDL_GetWindowID(m_sdlWindow);
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = 12;
    event.button.y = 34;
    SDL_PushEvent(&event);
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = SDL_GetWindowID(m_sdlWindow);
    event.wheel.y = -1;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&event);
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = SDL_GetWindowID(m_sdlWindow);
    event.motion.x = 7;
    event.motion.y = 8;
    SDL_PushEvent(&event);
    ASSERT_TRUE(WaitFor([] { return Find(WM_LBUTTONDOWN) && Find(WM_MOUSEWHEEL) && Find(WM_MOUSEMOVE); }));
    EXPECT_EQ(LOWORD(Find(WM_MOUSEMOVE)->lParam), 7);
    ASSERT_NE(Find(WM_SETCURSOR), nullptr);
    EXPECT_EQ(LOWORD(Find(WM_SETCURSOR)->lParam), HTCLIENT);
    EXPECT_EQ(LOWORD(Find(WM_LBUTTONDOWN)->lParam), 12);
    EXPECT_EQ(HIWORD(Find(WM_LBUTTONDOWN)->lParam), 34);
    EXPECT_EQ(static_cast<std::int16_t>(HIWORD(Find(WM_MOUSEWHEEL)->wParam)), -WHEEL_DELTA);
}

TEST_F(SdlWindowTest, StyleChangeFollowsTheSdlWindow) {
    SetWindowStyle(m_window, WS_POPUP | WS_VISIBLE | WS_SYSMENU);
    EXPECT_TRUE(SDL_GetWindowFlags(m_sdlWindow) & SDL_WINDOW_BORDERLESS);
    EXPECT_FALSE(SDL_GetWindowFlags(m_sdlWindow) & SDL_WINDOW_RESIZABLE);
}

TEST_F(SdlWindowTest, CursorHidesWithoutShapeOrBelowZeroCount) {
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(nullptr);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    SendMessage(m_window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));  // the default sets the arrow
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    ShowCursor(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    SetCursor(arrow);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    ShowCursor(true);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(SdlWindowTest, ClipCursorConfinesThePointerToTheWindowPart) {
    RECT outer;
    GetWindowRect(m_window, &outer);
    POINT origin{0, 0};
    ClientToScreen(m_window, &origin);
    const RECT clip{origin.x + 10, origin.y + 20, origin.x + 110, origin.y + 70};
    ASSERT_TRUE(ClipCursor(&clip));
    EXPECT_EQ(SDL_GetWindowGrab(m_sdlWindow), SDL_TRUE);
    const SDL_Rect* area = SDL_GetWindowMouseRect(m_sdlWindow);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->x, 10);
    EXPECT_EQ(area->y, 20);
    EXPECT_EQ(area->w, 100);
    EXPECT_EQ(area->h, 50);

    ASSERT_TRUE(ClipCursor(nullptr));
    EXPECT_EQ(SDL_GetWindowGrab(m_sdlWindow), SDL_FALSE);
    EXPECT_EQ(SDL_GetWindowMouseRect(m_sdlWindow), nullptr);
    ASSERT_TRUE(ClipCursor(&outer));  // the whole window rectangle, frame included
    EXPECT_EQ(SDL_GetWindowGrab(m_sdlWindow), SDL_TRUE);
    ClipCursor(nullptr);
}

TEST_F(SdlWindowTest, WindowEventsBecomeSizeActivateAndPaint) {
    const auto push = [this](SDL_WindowEventID id) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = id;
        event.window.windowID = SDL_GetWindowID(m_sdlWindow);
        SDL_PushEvent(&event);
    };
    push(SDL_WINDOWEVENT_MINIMIZED);
    push(SDL_WINDOWEVENT_FOCUS_LOST);
    push(SDL_WINDOWEVENT_FOCUS_GAINED);
    push(SDL_WINDOWEVENT_EXPOSED);
    push(SDL_WINDOWEVENT_EXPOSED);
    MSG message;
    std::vector<MSG> received;
    while (PeekMessage(&message, true)) {
        received.push_back(message);
    }
    ASSERT_EQ(received.size(), 4u);  // one paint for both exposures
    EXPECT_EQ(received[0].message, WM_SIZE);
    EXPECT_EQ(received[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(received[0].lParam, 0);
    EXPECT_EQ(received[1].message, WM_ACTIVATE);
    EXPECT_EQ(received[1].wParam, WA_INACTIVE);
    EXPECT_EQ(received[2].wParam, WA_ACTIVE);
    EXPECT_EQ(received[3].message, WM_PAINT);
}
