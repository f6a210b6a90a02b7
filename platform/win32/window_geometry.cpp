#include "platform/win32/window_object.h"

namespace win32 {

namespace {
// Frame metrics of a classic Win32 theme: the sizes are ours, only their consistency matters.
constexpr LONG kCaptionHeight = 23;
constexpr LONG kSizingFrame = 8;
constexpr LONG kFixedFrame = 3;
constexpr LONG kMenuHeight = 20;
constexpr DWORD WS_BORDER = 0x00800000u;
}  // namespace

FrameInsets FrameOf(DWORD style) {
    const bool caption = (style & WS_CAPTION) == WS_CAPTION;
    LONG edge = 0;
    if (style & WS_THICKFRAME) {
        edge = kSizingFrame;
    } else if (caption) {
        edge = kFixedFrame;
    } else if (style & WS_BORDER) {
        edge = 1;
    }
    return FrameInsets{edge, edge + (caption ? kCaptionHeight : 0), edge, edge};
}

RECT ClientRectOnScreen(const HWND__& window) {
    const FrameInsets frame = FrameOf(window.style);
    const RECT& outer = window.windowRect;
    RECT client{outer.left + frame.left, outer.top + frame.top, outer.right - frame.right,
                outer.bottom - frame.bottom};
    if (client.right < client.left) {
        client.right = client.left;
    }
    if (client.bottom < client.top) {
        client.bottom = client.top;
    }
    return client;
}

void SetClientRectOnScreen(HWND__& window, const RECT& client) {
    const FrameInsets frame = FrameOf(window.style);
    window.windowRect = RECT{client.left - frame.left, client.top - frame.top, client.right + frame.right,
                             client.bottom + frame.bottom};
}

bool AdjustWindowRect(RECT* rect, DWORD style, bool hasMenu) {
    if (!rect) {
        return false;
    }
    const FrameInsets frame = FrameOf(style);
    rect->left -= frame.left;
    rect->top -= frame.top + (hasMenu ? kMenuHeight : 0);
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return true;
}

}  // namespace win32
