// Windows without a display: objects with rectangles and styles; only posted and sent
// messages flow.

#include "platform/win32/window_backend.h"
#include "platform/win32/window_system.h"

namespace win32 {

namespace {

class HeadlessBackend final : public WindowBackend {
public:
    bool IsHeadless() const override { return true; }
    bool CreateNative(HWND) override { return true; }
    void DestroyNative(HWND) override {}
    void ApplyTitle(HWND) override {}
    void ApplyStyle(HWND) override {}
    void ApplyGeometry(HWND) override {}
    void ApplyVisibility(HWND) override {}
    void RefreshGeometry(HWND) override {}

    void PumpEvents() override {}
    void WaitForEvents(int timeoutMilliseconds) override {
        WindowSystem::Get().Queue().WaitForPost(timeoutMilliseconds);
    }

    void SetCursorVisible(bool) override {}
    bool ClipCursor(const RECT*) override { return true; }
    bool GetCursorPos(POINT* point) override {
        *point = POINT{};
        return true;
    }

    bool ShowMessageBox(HWND, std::string_view, std::string_view, UINT, int*) override { return false; }
};

}  // namespace

std::unique_ptr<WindowBackend> MakeHeadlessBackend() {
    return std::make_unique<HeadlessBackend>();
}

}  // namespace win32
