#include "tests/support/headless_window.h"

#include <stdlib.h>

#include "platform/dinput8/test_input.h"
#include "platform/win32/window.h"

namespace zumbo::test {

namespace {
LRESULT DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::DefWindowProc(window, message, wParam, lParam);
}
}  // namespace

HeadlessWindow::HeadlessWindow() {
    setenv("ZUMBO_HEADLESS", "1", 1);
    dinput8::test::ResetInput();
    m_window = win32::CreateWindow("Test", win32::WS_POPUP, 100, 100, DefaultProcedure);
}

HeadlessWindow::~HeadlessWindow() {
    win32::DestroyWindow(m_window);
    dinput8::test::ResetInput();
    unsetenv("ZUMBO_HEADLESS");
}

}  // namespace zumbo::test
