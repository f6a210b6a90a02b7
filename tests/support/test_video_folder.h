#pragma once
// Test videos written into a test's temporary folder.

#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/test_video.h"

namespace zumbo::test {

// Writes the video into the folder under the name and gives its Windows-style path; a failure
// to write fails the test at hand.
std::string WriteTestVideo(const TestVideo& video, const TempDir& folder, const std::string& name);

}  // namespace zumbo::test
