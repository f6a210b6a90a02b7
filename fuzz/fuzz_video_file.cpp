// Video file reader: arbitrary bytes as a video file, opened and its first frames read, then its
// sound track opened and read for a while. A frame that reads must have exactly the size the
// file reported; a sound read never reports more than it was asked for.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/dshow/sound_track.h"
#include "platform/dshow/video_file.h"
#include "platform/win32/files.h"

namespace {

// The input as a file of its own, removed again when the run ends.
class InputFile {
public:
    InputFile(const std::uint8_t* data, std::size_t size)
        : m_path("/tmp/fuzz_video_file_" + std::to_string(getpid()) + ".bin") {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        m_written = static_cast<bool>(out);
    }
    ~InputFile() { std::remove(m_path.c_str()); }
    bool IsWritten() const { return m_written; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    bool m_written = false;
};

// A few seconds of the sound at most, in pieces of an odd size.
void ReadSound(const std::string& path) {
    constexpr std::size_t kPiece = 4099;
    constexpr int kMaxPieces = 64;
    std::string error;
    auto sound = dshow::SoundTrack::Open(path, error);
    if (!sound) {
        return;
    }
    std::vector<std::int16_t> samples(kPiece * dshow::SoundTrack::kChannels);
    for (int piece = 0; piece < kMaxPieces; ++piece) {
        const std::size_t frames = sound->ReadFrames(samples.data(), kPiece);
        if (frames > kPiece) {
            __builtin_trap();
        }
        if (frames < kPiece) {
            return;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const InputFile file(data, size);
    if (!file.IsWritten()) {
        return 0;
    }
    std::string error;
    const std::string path = win32::ToWindowsPath(file.Path());
    ReadSound(path);
    auto video = dshow::VideoFile::Open(path, error);
    if (!video) {
        return 0;
    }
    dshow::DibFrame frame;
    for (long index : {0L, 1L, 0L}) {
        if (video->ReadFrame(index, frame) &&
            (frame.width != video->Width() || frame.height != video->Height() ||
             frame.bits.size() != static_cast<std::size_t>(dshow::DibPitch(frame.width)) * frame.height)) {
            __builtin_trap();
        }
    }
    return 0;
}
