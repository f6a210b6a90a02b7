#include "scr/preview_wnd.h"

#include "scr/preview_bitmap.h"

x11::Picture CPreviewWnd::Picture() {
    return x11::Picture{kWidth, kHeight, std::span<const std::uint8_t>(kPreviewBitmap)};
}

bool CPreviewWnd::Run(std::uint64_t parent) {
    return x11::RunPreviewWindow(parent, Picture(), "Preview");
}
