#pragma once
// The host's preview: a still picture in an X11 child window that covers a given window.

#include <cstdint>
#include <span>
#include <vector>

namespace x11 {

// Rows from top to bottom, three bytes (red, green, blue) per pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::span<const std::uint8_t> rgb;
};

// The picture scaled to width x height without keeping its aspect ratio: pixel (x, y) takes
// the source pixel (x * source width / width, y * source height / height). Values 0xRRGGBB.
std::vector<std::uint32_t> StretchPicture(const Picture& picture, int width, int height);

// Shows the picture as a visible child named title that covers the parent and follows its
// size; returns true once the child is gone with its parent. False when there is no display
// or no such parent.
bool RunPreviewWindow(std::uint64_t parent, const Picture& picture, const char* title);

}  // namespace x11
