#pragma once
// The preview picture, 160 x 120 pixels, rows from top to bottom, red, green and blue bytes;
// generated at build time.

#include <cstdint>

extern const std::uint8_t kPreviewBitmap[160 * 120 * 3];
