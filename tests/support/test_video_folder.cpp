#include "tests/support/test_video_folder.h"

#include <gtest/gtest.h>

namespace zumbo::test {

std::string WriteTestVideo(const TestVideo& video, const TempDir& folder, const std::string& name) {
    std::string message;
    EXPECT_TRUE(video.Write(folder.Path() / name, message)) << message;
    return folder.WindowsPath() + name;
}

}  // namespace zumbo::test
