#pragma once
// A stream decoded while it plays, fed to OpenAL on a thread of its own. A looping stream
// wraps to its start inside the buffer being filled, so the loop point has no gap. A stream
// whose data fails (the file vanished or is damaged) stops; it is not restarted by itself.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace bass {

class SoundDecoder;

class MusicStream {
public:
    MusicStream(std::unique_ptr<SoundDecoder> decoder, bool loop, bool audible);
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    int Rate() const { return m_rate; }
    // Starts playing; restart goes back to the start first.
    void Play(bool restart);
    void Stop();
    bool IsPlaying() const;
    void SetVolume(int volume);
    int Volume() const;
    // CPU time the feeding thread has used so far.
    std::chrono::nanoseconds FeedCpuTime() const;

private:
    static constexpr int kBufferCount = 4;

    void Feed();
    void FeedProcessedBuffers();
    // Decodes into one buffer and queues it; false at the end of the data.
    bool FillAndQueue(unsigned buffer);
    void ResetQueue();
    std::size_t DecodeInto(std::vector<std::int16_t>& pcm);

    std::unique_ptr<SoundDecoder> m_decoder;
    const bool m_loop;
    const int m_rate;
    const int m_channels;
    unsigned m_source = 0;
    unsigned m_buffers[kBufferCount] = {};
    std::vector<std::int16_t> m_pcm;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_playing = false;
    bool m_quit = false;
    bool m_dataEnded = false;
    int m_volume = 100;
    std::chrono::nanoseconds m_feedCpuTime{0};
    std::thread m_feeder;
};

}  // namespace bass
