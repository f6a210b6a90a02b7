#include <gtest/gtest.h>

#include <fstream>

#include "platform/dshow/video_file.h"
#include "platform/win32/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_video.h"
#include "tests/support/test_video_folder.h"

namespace {

using zumbo::test::Rgb;
using zumbo::test::TempDir;
using zumbo::test::TestVideo;

// Reads a pixel of a bottom-up bitmap of blue, green, red bytes; y counts from the top.
Rgb DibPixel(const dshow::DibFrame& frame, int x, int y) {
    const std::size_t offset = static_cast<std::size_t>(frame.height - 1 - y) * frame.pitch + x * 3;
    return Rgb{frame.bits[offset + 2], frame.bits[offset + 1], frame.bits[offset]};
}

// Samples the middle of each bar, the box and a point left of it, with a tolerance for lossy codecs.
void ExpectFrameShows(const TestVideo& video, const dshow::DibFrame& frame, int number, int tolerance) {
    ASSERT_EQ(frame.width, video.width);
    ASSERT_EQ(frame.height, video.height);
    const int quarter = video.width / 4;
    const int boxX = video.BoxLeft(number) + TestVideo::kBoxSize / 2;
    const int boxY = video.height / 2 + TestVideo::kBoxSize / 2;
    const std::pair<int, int> samples[] = {{quarter / 2, 2},
                                           {quarter + quarter / 2, 2},
                                           {2 * quarter + quarter / 2, 2},
                                           {3 * quarter + quarter / 2, 2},
                                           {boxX, boxY},
                                           {(boxX + video.width / 2) % video.width, video.height - 3}};
    for (const auto& [x, y] : samples) {
        const Rgb want = video.ColourAt(number, x, y);
        const Rgb got = DibPixel(frame, x, y);
        EXPECT_NEAR(got.red, want.red, tolerance) << "frame " << number << " at " << x << "," << y;
        EXPECT_NEAR(got.green, want.green, tolerance) << "frame " << number << " at " << x << "," << y;
        EXPECT_NEAR(got.blue, want.blue, tolerance) << "frame " << number << " at " << x << "," << y;
    }
}

class VideoFileTest : public ::testing::Test {
protected:
    std::string Make(const TestVideo& video, const std::string& name) {
        return WriteTestVideo(video, m_dir, name);
    }
    TempDir m_dir;
};

TEST(DibPitchTest, RowsArePaddedToFourBytes) {
    EXPECT_EQ(dshow::DibPitch(1), 4);
    EXPECT_EQ(dshow::DibPitch(4), 12);
    EXPECT_EQ(dshow::DibPitch(30), 92);
    EXPECT_EQ(dshow::DibPitch(640), 1920);
}

TEST_F(VideoFileTest, LosslessContainersReportSizeRateCountAndExactColours) {
    for (const char* name : {"bars.avi", "bars.mkv"}) {
        SCOPED_TRACE(name);
        TestVideo video;
        video.width = 30;  // an odd pitch: 90 bytes of pixels padded to 92
        video.height = 16;
        video.frames = 7;
        video.frameRate = 15;
        std::string error;
        auto file = dshow::VideoFile::Open(Make(video, name), error);
        ASSERT_NE(file, nullptr) << error;
        EXPECT_EQ(file->Width(), 30);
        EXPECT_EQ(file->Height(), 16);
        EXPECT_DOUBLE_EQ(file->FrameRate(), 15.0);
        EXPECT_EQ(file->FrameCount(), 7);
        EXPECT_FALSE(file->HasAudio());
        dshow::DibFrame frame;
        for (int number = 0; number < video.frames; ++number) {
            ASSERT_TRUE(file->ReadFrame(number, frame));
            EXPECT_EQ(frame.pitch, 92);
            EXPECT_EQ(frame.bits.size(), 92u * 16u);
            ExpectFrameShows(video, frame, number, 0);
        }
        EXPECT_FALSE(file->ReadFrame(7, frame));
        EXPECT_FALSE(file->ReadFrame(-1, frame));
    }
}

TEST_F(VideoFileTest, RandomAccessGoesBackwardsAndJumpsAcrossKeyFrames) {
    TestVideo video;
    video.frames = 12;
    std::string error;
    auto file = dshow::VideoFile::Open(Make(video, "seek.mkv"), error);
    ASSERT_NE(file, nullptr) << error;
    dshow::DibFrame frame;
    for (const int number : {11, 3, 10, 0, 9, 8, 7, 6, 5, 4, 2, 1}) {
        ASSERT_TRUE(file->ReadFrame(number, frame)) << number;
        ExpectFrameShows(video, frame, number, 0);
    }
}

TEST_F(VideoFileTest, LossyCodecInAnotherContainerDecodes) {
    TestVideo video;
    video.width = 64;
    video.height = 48;
    video.frames = 6;
    video.encoder = "mpeg4";
    std::string error;
    auto file = dshow::VideoFile::Open(Make(video, "lossy.mp4"), error);
    ASSERT_NE(file, nullptr) << error;
    EXPECT_EQ(file->FrameCount(), 6);
    dshow::DibFrame frame;
    ASSERT_TRUE(file->ReadFrame(4, frame));
    ExpectFrameShows(video, frame, 4, 60);
}

TEST_F(VideoFileTest, SequentialReadingEndsAtEndOfFileAndRewinds) {
    TestVideo video;
    video.frames = 5;
    std::string error;
    auto file = dshow::VideoFile::Open(Make(video, "seq.avi"), error);
    ASSERT_NE(file, nullptr) << error;
    dshow::DibFrame frame;
    for (int number = 0; number < 5; ++number) {
        ASSERT_TRUE(file->ReadNextFrame(frame)) << number;
        ExpectFrameShows(video, frame, number, 0);
    }
    EXPECT_FALSE(file->ReadNextFrame(frame));
    file->Rewind();
    ASSERT_TRUE(file->ReadNextFrame(frame));
    ExpectFrameShows(video, frame, 0, 0);
}

TEST_F(VideoFileTest, MissingGarbageAndTruncatedFilesFailCleanly) {
    std::string error;
    EXPECT_EQ(dshow::VideoFile::Open(m_dir.WindowsPath() + "missing.avi", error), nullptr);
    EXPECT_FALSE(error.empty());

    m_dir.Write("garbage.avi", std::string(4096, 'x'));
    error.clear();
    EXPECT_EQ(dshow::VideoFile::Open(m_dir.WindowsPath() + "garbage.avi", error), nullptr);
    EXPECT_FALSE(error.empty());

    TestVideo video;
    const std::string whole = Make(video, "whole.avi");
    std::ifstream in(win32::ToHostPath(whole), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const std::size_t keep : {std::size_t{12}, bytes.size() / 3, bytes.size() * 2 / 3}) {
        m_dir.Write("cut.avi", bytes.substr(0, keep));
        auto file = dshow::VideoFile::Open(m_dir.WindowsPath() + "cut.avi", error);
        if (!file) {
            continue;
        }
        // What survives is readable; frames past the cut are simply absent.
        EXPECT_LE(file->FrameCount(), video.frames);
        dshow::DibFrame frame;
        for (long number = 0; number <= video.frames; ++number) {
            if (file->ReadFrame(number, frame)) {
                EXPECT_EQ(frame.bits.size(), static_cast<std::size_t>(frame.pitch) * frame.height);
            }
        }
    }
}

}  // namespace
