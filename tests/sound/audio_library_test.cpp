// The audio library calls on the silent device: sources by file range and memory, refused
// ranges and data, channel recycling and the voice limit.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/bass/bass.h"
#include "platform/bass/byte_source.h"
#include "platform/win32/files.h"
#include "tests/support/audio_signal.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wav_bytes.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AudioLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr)); }
    void TearDown() override { BASS_Free(); }

    // A file holding junk, a WAV at 22050 Hz, and more junk: the WAV's offset and length.
    std::pair<QWORD, QWORD> WritePackedFile() {
        zumbo::test::WriteTone(m_dir.Path() / "tone.wav", 440.0, 0.3, 0.2, 22050);
        const std::vector<std::uint8_t> wav = ReadBytes(m_dir.Path() / "tone.wav");
        std::vector<std::uint8_t> packed(100 + wav.size() + 50, 0xA5);
        std::fill_n(packed.begin(), 100, std::uint8_t{0x5A});
        std::copy(wav.begin(), wav.end(), packed.begin() + 100);
        zumbo::test::WriteWhole(m_dir.Path() / "packed.grp", packed);
        return {100, wav.size()};
    }
    std::string Packed() const { return win32::ToWindowsPath(m_dir.Path() / "packed.grp"); }

    zumbo::test::ScopedEnvironmentVariable m_headless{"ZUMBO_HEADLESS", "1"};
    zumbo::test::TempDir m_dir;
};

}  // namespace

TEST_F(AudioLibraryTest, StreamReadsItsRangeOfALargerFile) {
    const auto [offset, length] = WritePackedFile();
    const HSTREAM stream = BASS_StreamCreateFile(0, Packed().c_str(), offset, length, BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u);
    DWORD frequency = 0;
    ASSERT_TRUE(BASS_ChannelGetAttributes(stream, &frequency, nullptr, nullptr));
    EXPECT_EQ(frequency, 22050u);
    // The whole file is no audio file: junk comes first.
    EXPECT_EQ(BASS_StreamCreateFile(0, Packed().c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

TEST_F(AudioLibraryTest, RangesPastTheEndAreRefused) {
    const auto [offset, length] = WritePackedFile();
    const std::uint64_t fileSize = offset + length + 50;
    EXPECT_EQ(bass::ByteSource::OpenFileRange(m_dir.Path() / "packed.grp", offset, length + 51), nullptr);
    EXPECT_EQ(bass::ByteSource::OpenFileRange(m_dir.Path() / "packed.grp", fileSize + 1, 0), nullptr);
    EXPECT_NE(bass::ByteSource::OpenFileRange(m_dir.Path() / "packed.grp", offset, length + 50), nullptr);
    EXPECT_EQ(BASS_StreamCreateFile(0, Packed().c_str(), offset, length + 51, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(0, Packed().c_str(), fileSize, 10, 10, 0), 0u);
}

TEST_F(AudioLibraryTest, ARangeReadsExactlyItsBytes) {
    const auto [offset, length] = WritePackedFile();
    auto source = bass::ByteSource::OpenFileRange(m_dir.Path() / "packed.grp", offset, length);
    ASSERT_NE(source, nullptr);
    std::vector<std::uint8_t> bytes(length + 10);
    EXPECT_EQ(source->Read(bytes.data(), static_cast<std::int64_t>(bytes.size())),
              static_cast<std::int64_t>(length));
    EXPECT_EQ(bytes[0], 'R');  // "RIFF", not the junk before
    EXPECT_EQ(source->Seek(-4, SEEK_END), static_cast<std::int64_t>(length) - 4);
    EXPECT_EQ(source->Seek(-1, SEEK_SET), -1);
    EXPECT_EQ(source->Seek(5, SEEK_END), -1);
}

TEST_F(AudioLibraryTest, TruncatedOrForeignDataDoesNotLoad) {
    const std::vector<std::uint8_t> wav = zumbo::test::ConstantWav(0.1);
    const std::vector<std::uint8_t> headerOnly(wav.begin(), wav.begin() + 30);
    EXPECT_EQ(BASS_SampleLoad(1, headerOnly.data(), 0, static_cast<DWORD>(headerOnly.size()), 10, 0), 0u);
    const std::string text = "This is not a sound at all, only some words.";
    EXPECT_EQ(BASS_SampleLoad(1, text.data(), 0, static_cast<DWORD>(text.size()), 10, 0), 0u);
    EXPECT_EQ(BASS_SampleLoad(1, wav.data(), 0, static_cast<DWORD>(wav.size()), 0, 0), 0u);  // no playbacks
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
}

TEST_F(AudioLibraryTest, TakingOverTheOldestChannelInvalidatesItsHandle) {
    const std::vector<std::uint8_t> wav = zumbo::test::ConstantWav(5.0);
    const HSAMPLE sample = BASS_SampleLoad(1, wav.data(), 0, static_cast<DWORD>(wav.size()), 2, 0);
    ASSERT_NE(sample, 0u);
    const HCHANNEL first = BASS_SampleGetChannel(sample, 0);
    ASSERT_TRUE(BASS_ChannelPlay(first, 0));
    const HCHANNEL second = BASS_SampleGetChannel(sample, 0);
    ASSERT_TRUE(BASS_ChannelPlay(second, 0));
    EXPECT_EQ(BASS_ChannelIsActive(first), BASS_ACTIVE_PLAYING);
    EXPECT_EQ(BASS_SampleGetChannel(sample, 1), 0u);  // only new ones: none free
    const HCHANNEL third = BASS_SampleGetChannel(sample, 0);
    ASSERT_NE(third, 0u);
    EXPECT_FALSE(BASS_ChannelGetAttributes(first, nullptr, nullptr, nullptr));
    EXPECT_TRUE(BASS_ChannelGetAttributes(second, nullptr, nullptr, nullptr));
    EXPECT_EQ(BASS_ChannelIsActive(first), BASS_ACTIVE_STOPPED);
    EXPECT_FALSE(BASS_ChannelSetAttributes(third, -1, 101, -101));  // volumes are 0 to 100
}

TEST_F(AudioLibraryTest, FinishedChannelStaysValidButStopped) {
    const std::vector<std::uint8_t> wav = zumbo::test::ConstantWav(0.05);
    const HSAMPLE sample = BASS_SampleLoad(1, wav.data(), 0, static_cast<DWORD>(wav.size()), 10, 0);
    const HCHANNEL channel = BASS_SampleGetChannel(sample, 0);
    ASSERT_TRUE(BASS_ChannelPlay(channel, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    EXPECT_TRUE(BASS_ChannelGetAttributes(channel, nullptr, nullptr, nullptr));
    EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_STOPPED);
}

namespace {

DWORD SilenceFor(HSTREAM, void* buffer, DWORD length, void*) {
    std::fill_n(static_cast<std::uint8_t*>(buffer), length, 0);
    return length;
}

}  // namespace

TEST_F(AudioLibraryTest, UserStreamsNeedAProcedureOneOrTwoChannelsAndAnOpenDevice) {
    EXPECT_EQ(BASS_GetDevice(), 0u);  // the silent device
    const HSTREAM stream = BASS_StreamCreate(44100, 2, 0, &SilenceFor, nullptr);
    ASSERT_NE(stream, 0u);
    DWORD frequency = 0;
    ASSERT_TRUE(BASS_ChannelGetAttributes(stream, &frequency, nullptr, nullptr));
    EXPECT_EQ(frequency, 44100u);
    EXPECT_TRUE(BASS_StreamFree(stream));

    EXPECT_EQ(BASS_StreamCreate(44100, 2, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_StreamCreate(0, 2, 0, &SilenceFor, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    for (const DWORD channels : {0u, 3u, 6u}) {
        EXPECT_EQ(BASS_StreamCreate(44100, channels, 0, &SilenceFor, nullptr), 0u) << channels;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT) << channels;
    }

    BASS_Free();
    EXPECT_EQ(BASS_GetDevice(), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(BASS_StreamCreate(44100, 2, 0, &SilenceFor, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));  // for TearDown
}
