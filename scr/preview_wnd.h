#pragma once
// CPreviewWnd: the still picture that the display settings show inside their own window.

#include <cstdint>

#include "platform/x11/preview_window.h"

class CPreviewWnd {
public:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;

    // The picture built into the program.
    static x11::Picture Picture();
    // Covers the parent with the picture until the parent goes; false when it cannot.
    bool Run(std::uint64_t parent);
};
