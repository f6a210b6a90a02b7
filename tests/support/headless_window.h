#pragma once
// A headless window for tests of input and messages: ZUMBO_HEADLESS is set and the injected
// input reset while it lives.

#include "platform/win32/types.h"

namespace zumbo::test {

class HeadlessWindow {
public:
    HeadlessWindow();
    ~HeadlessWindow();
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

}  // namespace zumbo::test
