#pragma once
// A video file played as a running stream on the tick clock: each tick delivers the frames
// whose time has come, and the end of the file is reported once every frame is out.

#include <memory>
#include <string>

#include "platform/dshow/video_file.h"

class CVideoStream {
public:
    enum class eStep { NewFrame, NoNewFrame, EndOfFile };

    // Null with the failure code a source filter reports: no such file, or a file it cannot play.
    static std::unique_ptr<CVideoStream> Open(const std::string& path, unsigned& failureCode);

    // One tick of the stream.
    eStep Tick();
    // Back to the first frame and stream time 0.
    void Restart();

    const dshow::DibFrame& Frame() const { return m_frame; }
    long FramesDelivered() const { return m_delivered; }
    const dshow::VideoFile& Video() const { return *m_video; }

private:
    explicit CVideoStream(std::unique_ptr<dshow::VideoFile> video) : m_video(std::move(video)) {}

    std::unique_ptr<dshow::VideoFile> m_video;
    dshow::DibFrame m_frame;
    double m_streamTime = 0.0;
    long m_delivered = 0;
};
