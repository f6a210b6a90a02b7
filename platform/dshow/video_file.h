#pragma once
// A video file opened for reading frames, the stand-in for the AVI file interface and the
// source side of a filter graph. Any container and codec the system's FFmpeg decodes works.
// Frames come out as 24-bit device-independent bitmaps: blue, green, red bytes, rows from the
// bottom of the picture to the top, each row padded to a multiple of four bytes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dshow {

struct DibFrame {
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes per row: width * 3 rounded up to a multiple of 4
    std::vector<std::uint8_t> bits;
};

// Bytes per row of a 24-bit bitmap of this width.
int DibPitch(int width);

// Pictures beyond this size in either direction are refused as hostile.
inline constexpr int kMaxVideoDimension = 4096;

class VideoFile {
public:
    // Null when the file is missing, not a video, or undecodable; `error` then says why.
    static std::unique_ptr<VideoFile> Open(const std::string& path, std::string& error);
    ~VideoFile();
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    int Width() const;
    int Height() const;
    // Frames per second of the video stream.
    double FrameRate() const;
    // Number of frames in the video stream, counted when the file is opened.
    long FrameCount() const;
    bool HasAudio() const;

    // The frame with this number (0 is the first); false past the end or when undecodable.
    bool ReadFrame(long index, DibFrame& frame);
    // The frame after the last one read; false at the end of the file.
    bool ReadNextFrame(DibFrame& frame);
    // The next read starts again at the first frame.
    void Rewind();

private:
    struct Impl;
    explicit VideoFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace dshow
