// Video file reader: arbitrary bytes as a video file, opened and its first frames read. A frame
// that reads must have exactly the size the file reported.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const InputFile file(data, size);
    if (!file.IsWritten()) {
        return 0;
    }
    std::string error;
    auto video = dshow::VideoFile::Open(win32::ToWindowsPath(file.Path()), error);
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
