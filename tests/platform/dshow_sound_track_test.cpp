// The sound of video files: decoded, resampled to 16-bit stereo at the output rate, and read in
// pieces of any size.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <vector>

#include "platform/dshow/sound_track.h"
#include "platform/dshow/video_file.h"
#include "platform/win32/files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_video.h"
#include "tests/support/test_video_folder.h"

namespace {

using dshow::SoundTrack;
using zumbo::test::TempDir;
using zumbo::test::TestVideo;

constexpr double kTone = 440.0;

struct Pcm {
    std::vector<std::int16_t> left;
    std::vector<std::int16_t> right;

    double Seconds() const { return static_cast<double>(left.size()) / SoundTrack::kRate; }
    // The frequency of the left channel from its sign changes between two times in seconds.
    double Frequency(double from, double to) const {
        const auto first = static_cast<std::size_t>(from * SoundTrack::kRate);
        const auto end = static_cast<std::size_t>(to * SoundTrack::kRate);
        int changes = 0;
        for (std::size_t i = first + 1; i < end; ++i) {
            changes += (left[i - 1] < 0) != (left[i] < 0);
        }
        return changes / 2.0 / (to - from);
    }
    int LargestSideDifference() const {
        int largest = 0;
        for (std::size_t i = 0; i < left.size(); ++i) {
            largest = std::max(largest, std::abs(left[i] - right[i]));
        }
        return largest;
    }
    double Rms(double from, double to) const {
        const auto first = static_cast<std::size_t>(from * SoundTrack::kRate);
        const auto end = static_cast<std::size_t>(to * SoundTrack::kRate);
        double sum = 0.0;
        for (std::size_t i = first; i < end; ++i) {
            sum += static_cast<double>(left[i]) * left[i];
        }
        return std::sqrt(sum / static_cast<double>(end - first));
    }
};

// Reads the whole track in pieces of `piece` frames.
Pcm ReadAll(SoundTrack& track, std::size_t piece) {
    Pcm pcm;
    std::vector<std::int16_t> buffer(piece * SoundTrack::kChannels);
    for (;;) {
        const std::size_t frames = track.ReadFrames(buffer.data(), piece);
        for (std::size_t i = 0; i < frames; ++i) {
            pcm.left.push_back(buffer[i * 2]);
            pcm.right.push_back(buffer[i * 2 + 1]);
        }
        if (frames < piece) {
            return pcm;
        }
    }
}

class SoundTrackTest : public ::testing::Test {
protected:
    std::string Make(const TestVideo& video, const std::string& name) {
        return WriteTestVideo(video, m_dir, name);
    }
    static TestVideo WithTone(int rate, int channels, const char* encoder) {
        TestVideo video;
        video.frames = 15;  // one second at 15 frames per second
        video.toneFrequency = kTone;
        video.audioRate = rate;
        video.audioChannels = channels;
        video.audioEncoder = encoder;
        return video;
    }
    TempDir m_dir;
};

TEST_F(SoundTrackTest, ToneComesOutAsStereoAtTheOutputRateWhateverTheSourceFormat) {
    struct Case {
        const char* file;
        int rate;
        int channels;
        const char* encoder;
        double lengthTolerance;  // seconds; AAC adds its encoder delay
        int sideDifference;      // largest difference of left and right; AAC codes them jointly
    };
    for (const Case& source : {Case{"mono22k.avi", 22050, 1, "pcm_s16le", 0.005, 0},
                               Case{"stereo48k.mkv", 48000, 2, "pcm_f32le", 0.005, 0},
                               Case{"planar.mkv", 44100, 2, "aac", 0.1, 300}}) {
        SCOPED_TRACE(source.file);
        const TestVideo video = WithTone(source.rate, source.channels, source.encoder);
        const std::string path = Make(video, source.file);
        std::string error;
        auto picture = dshow::VideoFile::Open(path, error);
        ASSERT_NE(picture, nullptr) << error;
        EXPECT_TRUE(picture->HasAudio());
        auto track = SoundTrack::Open(path, error);
        ASSERT_NE(track, nullptr) << error;

        const Pcm pcm = ReadAll(*track, 4096);
        EXPECT_NEAR(pcm.Seconds(), 1.0, source.lengthTolerance);
        EXPECT_NEAR(pcm.Frequency(0.2, 0.8), kTone, 3.0);
        // A sine of amplitude 0.5 has an RMS of 0.5 / sqrt 2 of full scale.
        EXPECT_NEAR(pcm.Rms(0.2, 0.8), 0.5 / std::sqrt(2.0) * 32767.0, 0.05 * 11585.0);
        EXPECT_LE(pcm.LargestSideDifference(), source.sideDifference);  // the same tone on both sides
        EXPECT_EQ(track->ReadFrames(nullptr, 0), 0u);
    }
}

TEST_F(SoundTrackTest, SmallPiecesReadTheSameSamplesAsLargeOnes) {
    const TestVideo video = WithTone(22050, 1, "pcm_s16le");
    const std::string path = Make(video, "pieces.mkv");
    std::string error;
    auto whole = SoundTrack::Open(path, error);
    auto pieces = SoundTrack::Open(path, error);
    ASSERT_NE(whole, nullptr) << error;
    ASSERT_NE(pieces, nullptr) << error;
    const Pcm large = ReadAll(*whole, 1 << 17);
    const Pcm small = ReadAll(*pieces, 7);
    ASSERT_GT(large.left.size(), 40000u);
    EXPECT_EQ(small.left, large.left);
    // Past the end nothing more comes.
    std::int16_t rest[8] = {};
    EXPECT_EQ(pieces->ReadFrames(rest, 4), 0u);
}

TEST_F(SoundTrackTest, FilesWithoutUsableSoundHaveNoTrack) {
    std::string error;
    TestVideo silent;
    const std::string path = Make(silent, "silent.mkv");
    EXPECT_EQ(SoundTrack::Open(path, error), nullptr);
    EXPECT_EQ(error, "no audio stream");

    error.clear();
    EXPECT_EQ(SoundTrack::Open(m_dir.WindowsPath() + "missing.mkv", error), nullptr);
    EXPECT_FALSE(error.empty());

    m_dir.Write("garbage.mkv", std::string(4096, 'x'));
    error.clear();
    EXPECT_EQ(SoundTrack::Open(m_dir.WindowsPath() + "garbage.mkv", error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST_F(SoundTrackTest, TruncatedFileGivesTheSoundUpToTheCut) {
    const TestVideo video = WithTone(22050, 1, "pcm_s16le");
    const std::string whole = Make(video, "whole.avi");
    std::ifstream in(win32::ToHostPath(whole), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    m_dir.Write("cut.avi", bytes.substr(0, bytes.size() / 2));
    std::string error;
    auto track = SoundTrack::Open(m_dir.WindowsPath() + "cut.avi", error);
    ASSERT_NE(track, nullptr) << error;
    const Pcm pcm = ReadAll(*track, 4096);
    EXPECT_GT(pcm.Seconds(), 0.1);
    EXPECT_LT(pcm.Seconds(), 0.9);
}

TEST_F(SoundTrackTest, SoundLinesUpWithTheFirstPicture) {
    // The sound starts a quarter second after the first picture: silence comes first.
    TestVideo late = WithTone(22050, 1, "pcm_s16le");
    late.firstSoundSample = 22050 / 4;
    std::string error;
    auto track = SoundTrack::Open(Make(late, "late.mkv"), error);
    ASSERT_NE(track, nullptr) << error;
    const Pcm delayed = ReadAll(*track, 4096);
    EXPECT_NEAR(delayed.Seconds(), 1.25, 0.01);
    EXPECT_EQ(delayed.Rms(0.0, 0.24), 0.0);
    EXPECT_NEAR(delayed.Rms(0.26, 1.2), 0.5 / std::sqrt(2.0) * 32767.0, 0.05 * 11585.0);

    // The first picture comes a fifth of a second after the sound starts (a time the container
    // stores exactly): that part is dropped.
    TestVideo early = WithTone(22050, 1, "pcm_s16le");
    early.toneFrequency = 441.0;
    early.firstPictureFrame = 3;
    track = SoundTrack::Open(Make(early, "early.mkv"), error);
    ASSERT_NE(track, nullptr) << error;
    const Pcm cut = ReadAll(*track, 4096);
    EXPECT_NEAR(cut.Seconds(), 0.8, 0.01);
    // What remains begins 88.2 periods into the sine, at phase 0.2 of a turn.
    const double expected = 0.5 * 32767.0 * std::sin(2.0 * std::numbers::pi * 0.2);
    EXPECT_NEAR(cut.left[0], expected, 0.03 * 32767.0);
}

}  // namespace
