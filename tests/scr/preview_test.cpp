#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>

#include "platform/x11/preview_window.h"
#include "scr/preview_wnd.h"
#include "tests/scr/child_process.h"
#include "tests/scr/x11_test_window.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace zumbo::test;
using namespace std::chrono_literals;

// The preview picture as the build drew it, read from its bitmap file: 0xRRGGBB, top row first.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

std::uint32_t LittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes.at(at + i);
    }
    return value;
}

Bitmap ReadPreviewBitmap() {
    std::ifstream in(ZUMBO_PREVIEW_BITMAP, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    Bitmap bitmap;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || LittleEndian(bytes, 28, 2) != 24) {
        return bitmap;
    }
    bitmap.width = int(LittleEndian(bytes, 18, 4));
    bitmap.height = int(LittleEndian(bytes, 22, 4));
    const std::size_t offset = LittleEndian(bytes, 10, 4);
    const std::size_t rowBytes = (std::size_t(bitmap.width) * 3 + 3) / 4 * 4;
    for (int y = 0; y < bitmap.height; ++y) {
        const std::size_t row = offset + std::size_t(bitmap.height - 1 - y) * rowBytes;
        for (int x = 0; x < bitmap.width; ++x) {
            const std::size_t at = row + std::size_t(x) * 3;
            bitmap.pixels.push_back(std::uint32_t(bytes.at(at + 2)) << 16 |
                                    std::uint32_t(bytes.at(at + 1)) << 8 | bytes.at(at));
        }
    }
    return bitmap;
}

// Nearest source pixel for a target pixel, computed in floating point from the pixel's
// left/top edge: target x covers source [x * 160 / W, (x + 1) * 160 / W).
std::uint32_t Expected(const Bitmap& bitmap, int x, int y, int width, int height) {
    const int sourceX = int(double(x) * bitmap.width / width);
    const int sourceY = int(double(y) * bitmap.height / height);
    return bitmap.pixels[std::size_t(sourceY) * bitmap.width + sourceX];
}

TEST(PreviewPicture, BuiltInPictureIsTheBitmapTheBuildDrew) {
    const Bitmap bitmap = ReadPreviewBitmap();
    ASSERT_EQ(bitmap.width, 160);
    ASSERT_EQ(bitmap.height, 120);
    const x11::Picture picture = CPreviewWnd::Picture();
    ASSERT_EQ(picture.rgb.size(), 160u * 120u * 3u);
    for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) {
        const std::uint32_t built = std::uint32_t(picture.rgb[i * 3]) << 16 |
                                    std::uint32_t(picture.rgb[i * 3 + 1]) << 8 | picture.rgb[i * 3 + 2];
        ASSERT_EQ(built, bitmap.pixels[i]) << "pixel " << i;
    }
}

TEST(PreviewPicture, StretchFillsAnySizeWithoutKeepingTheAspect) {
    // A 2 x 2 picture: red, green / blue, white.
    const std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    const x11::Picture picture{2, 2, rgb};
    EXPECT_EQ(x11::StretchPicture(picture, 4, 2),
              (std::vector<std::uint32_t>{0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00,  //
                                          0x0000FF, 0x0000FF, 0xFFFFFF, 0xFFFFFF}));
    EXPECT_EQ(x11::StretchPicture(picture, 1, 3), (std::vector<std::uint32_t>{0xFF0000, 0xFF0000, 0x0000FF}));
    EXPECT_EQ(x11::StretchPicture(picture, 1, 1), (std::vector<std::uint32_t>{0xFF0000}));
    EXPECT_TRUE(x11::StretchPicture(picture, 0, 5).empty());
    // A picture whose bytes do not cover its size gives black, not a read beyond them.
    const x11::Picture shortPicture{2, 2, std::span<const std::uint8_t>(rgb).first(6)};
    EXPECT_EQ(x11::StretchPicture(shortPicture, 2, 1), (std::vector<std::uint32_t>{0, 0}));
}

// ---- The preview program in a window of the test (needs a display) ----

std::vector<std::uint32_t> ExpectedFill(const Bitmap& bitmap, int width, int height) {
    std::vector<std::uint32_t> expected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            expected.push_back(Expected(bitmap, x, y, width, height));
        }
    }
    return expected;
}

ChildProcess StartPreview(const X11TestWindow& parent, const TempDir& folder) {
    return ChildProcess(
        fs::path(ZUMBO_BIN_DIR) / "ZumboCave.scr", {"/p", std::to_string(parent.Id())},
        {{"ZUMBO_HEADLESS", "0"}, {"ZUMBO_REGISTRY", (folder.Path() / "registry.reg").string()}},
        folder.Path() / "output.txt");
}

class PreviewWindowTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(PreviewWindowTest, ParentIsFilledExactlyUntilItGoes) {
    const auto [width, height] = GetParam();
    constexpr std::uint32_t kMagenta = 0xFF00FF;
    X11TestWindow parent(width, height, kMagenta);
    if (!parent.Valid()) {
        GTEST_SKIP() << "no display";
    }
    const Bitmap bitmap = ReadPreviewBitmap();
    ASSERT_EQ(bitmap.width, 160);
    TempDir folder;
    ChildProcess preview(
        fs::path(ZUMBO_BIN_DIR) / "ZumboCave.scr", {"/p", std::to_string(parent.Id())},
        {{"ZUMBO_HEADLESS", "0"}, {"ZUMBO_REGISTRY", (folder.Path() / "registry.reg").string()}},
        folder.Path() / "output.txt");
    ASSERT_TRUE(preview.Started());

    std::vector<std::uint32_t> expected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            expected.push_back(Expected(bitmap, x, y, width, height));
        }
    }
    EXPECT_TRUE(parent.WaitForPixels([&](const auto& pixels) { return pixels == expected; }, 20s));
    EXPECT_EQ(parent.ChildCount(), 1u);
    EXPECT_FALSE(preview.WaitForExit(0s)) << "the preview ended while its parent lived";

    parent.Destroy();
    EXPECT_EQ(preview.WaitForExit(20s), std::optional<int>(0));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PreviewWindowTest,
                         ::testing::Values(std::pair{160, 120}, std::pair{317, 203}, std::pair{64, 150},
                                           std::pair{1, 1}));

TEST(PreviewWindow, PictureFollowsTheParentsNewSize) {
    X11TestWindow parent(120, 90, 0xFF00FF);
    if (!parent.Valid()) {
        GTEST_SKIP() << "no display";
    }
    const Bitmap bitmap = ReadPreviewBitmap();
    TempDir folder;
    ChildProcess preview = StartPreview(parent, folder);
    const auto expected = ExpectedFill(bitmap, 120, 90);
    ASSERT_TRUE(parent.WaitForPixels([&](const auto& pixels) { return pixels == expected; }, 20s));
    parent.Resize(250, 61);
    const auto resized = ExpectedFill(bitmap, 250, 61);
    EXPECT_TRUE(parent.WaitForPixels([&](const auto& pixels) { return pixels == resized; }, 20s));
}

TEST(PreviewWindow, MissingParentEndsWithAClearMessage) {
    X11TestWindow probe(4, 4, 0);
    if (!probe.Valid()) {
        GTEST_SKIP() << "no display";
    }
    const std::uint64_t gone = probe.Id();
    probe.Destroy();
    TempDir folder;
    ChildProcess preview(fs::path(ZUMBO_BIN_DIR) / "ZumboCave.scr", {"/p:" + std::to_string(gone)},
                         {{"ZUMBO_HEADLESS", "0"}}, folder.Path() / "output.txt");
    EXPECT_EQ(preview.WaitForExit(20s), std::optional<int>(1));
    std::ifstream in(folder.Path() / "output.txt");
    const std::string output((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(output.find("cannot show the preview"), std::string::npos) << output;
}

}  // namespace
