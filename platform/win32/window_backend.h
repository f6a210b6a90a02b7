#pragma once
// The seam between the window functions and the system that shows windows: SDL2, or nothing
// at all when headless.

#include <memory>
#include <string_view>

#include "platform/win32/window_object.h"

namespace win32 {

class WindowBackend {
public:
    virtual ~WindowBackend() = default;

    virtual bool IsHeadless() const = 0;
    // Makes the native side of a window whose rectangle, style and title are set.
    virtual bool CreateNative(HWND window) = 0;
    virtual void DestroyNative(HWND window) = 0;
    virtual void ApplyTitle(HWND window) = 0;
    virtual void ApplyStyle(HWND window) = 0;
    virtual void ApplyGeometry(HWND window) = 0;
    virtual void ApplyVisibility(HWND window) = 0;
    // Re-reads what the native side changed on its own (size, position, state).
    virtual void RefreshGeometry(HWND window) = 0;

    // Turns waiting native events into posted messages.
    virtual void PumpEvents() = 0;
    // Sleeps until a native event or a posted message may be waiting, or the timeout passes.
    virtual void WaitForEvents(int timeoutMilliseconds) = 0;

    virtual void SetCursorVisible(bool visible) = 0;
    virtual bool ClipCursor(const RECT* screenRect) = 0;
    virtual bool GetCursorPos(POINT* point) = 0;

    // A message box with real buttons; false when it cannot be shown.
    virtual bool ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type,
                                int* result) = 0;
};

std::unique_ptr<WindowBackend> MakeHeadlessBackend();
// Null when no display can be opened.
std::unique_ptr<WindowBackend> MakeSdlBackend();

}  // namespace win32
