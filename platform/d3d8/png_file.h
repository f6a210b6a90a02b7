#pragma once
// Writing a presented frame as a PNG file.

#include <filesystem>

#include "platform/d3d8/opengl_frame.h"

namespace d3d8 {

// Writes through a temporary file, so a crash leaves no torn image.
bool WritePng(const std::filesystem::path& path, const PresentedFrame& frame);

}  // namespace d3d8
