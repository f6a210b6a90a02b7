#pragma once
// A stream decoded while it plays, fed to OpenAL on a thread of its own. A looping stream
// wraps to its start inside the buffer being filled, so the loop point has no gap. A stream
// whose data fails (the file vanished or is damaged) stops; it is not restarted by itself.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace bass {

class PcmSource;

class MusicStream {
public:
    MusicStream(std::unique_ptr<PcmSource> decoder, bool loop, bool audible);
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
    // Back to the start of the data with a freshly filled queue; false when nothing was queued.
    bool StartOver();
    void FeedProcessedBuffers();
    // Decodes into one buffer and queues it; false at the end of the data.
    bool FillAndQueue(unsigned buffer);
    void ResetQueue();
    std::size_t DecodeInto(std::vector<std::int16_t>& pcm);

    std::unique_ptr<PcmSource> m_decoder;
    const bool m_loop;
    const int m_rate;
    const int m_channels;
    const unsigned m_source;
    unsigned m_buffers[kBufferCount] = {};
    std::vector<std::int16_t> m_pcm;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    // Read without the lock, so that volume changes and queries never wait for a refill.
    std::atomic<bool> m_playing{false};
    bool m_quit = false;
    bool m_dataEnded = false;
    bool m_started = false;  // the queue has been filled once
    std::atomic<int> m_volume{100};
    std::chrono::nanoseconds m_feedCpuTime{0};
    std::thread m_feeder;
};

}  // namespace bass
