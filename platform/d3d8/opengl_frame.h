#pragma once
// The frames an OpenGL device presents, for screenshots and for tests that check pixels.

#include <vector>

#include "platform/d3d8/d3d8.h"

namespace d3d8 {

struct PresentedFrame {
    UINT width = 0;
    UINT height = 0;
    std::vector<DWORD> pixels;  // A8R8G8B8, rows from the top

    DWORD At(UINT x, UINT y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Makes an OpenGL device keep the last frame it presents; false for other devices.
bool KeepPresentedFrames(IDirect3DDevice8* device);
// The frame presented last; null for other devices and before the first kept frame.
const PresentedFrame* LastPresentedFrame(IDirect3DDevice8* device);

}  // namespace d3d8
