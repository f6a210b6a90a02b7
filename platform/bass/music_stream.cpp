#include "platform/bass/music_stream.h"

#include <AL/al.h>
#include <time.h>

#include "platform/bass/audio_device.h"
#include "platform/bass/pcm_source.h"

namespace bass {

namespace {

constexpr std::size_t kFramesPerBuffer = 16384;

std::chrono::nanoseconds ThreadCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

MusicStream::MusicStream(std::unique_ptr<PcmSource> decoder, bool loop, bool audible)
    : m_decoder(std::move(decoder)),
      m_loop(loop),
      m_rate(m_decoder->Rate()),
      m_channels(m_decoder->Channels()),
      m_source(CreatePlainSource(audible)) {
    if (m_source == 0) {
        return;  // the silent device: the stream only keeps its state
    }
    alGenBuffers(kBufferCount, m_buffers);
    m_pcm.resize(kFramesPerBuffer * static_cast<std::size_t>(m_channels));
    m_feeder = std::thread(&MusicStream::Feed, this);
}

MusicStream::~MusicStream() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_feeder.joinable()) {
        m_feeder.join();
    }
    if (m_source != 0) {
        DeleteSource(m_source);
        alDeleteBuffers(kBufferCount, m_buffers);
    }
}

void MusicStream::Play(bool restart) {
    std::lock_guard lock(m_mutex);
    if (m_playing && !restart) {
        return;
    }
    bool queued = false;
    if (restart || m_dataEnded || !m_started) {
        queued = StartOver();
    }
    // Data shorter than the queue has ended already, but what is queued still plays.
    m_playing = !m_dataEnded || queued;
    if (m_playing && m_source != 0) {
        alSourcePlay(m_source);
    }
    m_wake.notify_all();
}

bool MusicStream::StartOver() {
    m_started = true;
    m_dataEnded = !m_decoder->Rewind();
    ResetQueue();
    bool queued = false;
    for (unsigned buffer : m_buffers) {
        if (m_source == 0 || !FillAndQueue(buffer)) {
            break;
        }
        queued = true;
    }
    return queued;
}

void MusicStream::Stop() {
    std::lock_guard lock(m_mutex);
    m_playing = false;
    if (m_source != 0) {
        alSourcePause(m_source);
    }
}

bool MusicStream::IsPlaying() const {
    return m_playing;
}

// OpenAL takes its own lock for the gain; the feeding thread's lock stays free.
void MusicStream::SetVolume(int volume) {
    m_volume = volume;
    SetSourceVolume(m_source, volume);
}

int MusicStream::Volume() const {
    return m_volume;
}

std::chrono::nanoseconds MusicStream::FeedCpuTime() const {
    std::lock_guard lock(m_mutex);
    return m_feedCpuTime;
}

void MusicStream::ResetQueue() {
    if (m_source == 0) {
        return;
    }
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
}

std::size_t MusicStream::DecodeInto(std::vector<std::int16_t>& pcm) {
    std::size_t filled = 0;
    bool rewound = false;
    while (filled < kFramesPerBuffer) {
        const std::size_t got = m_decoder->ReadFrames(
            pcm.data() + filled * static_cast<std::size_t>(m_channels), kFramesPerBuffer - filled);
        filled += got;
        if (got > 0) {
            rewound = false;
            continue;
        }
        // At the end: a looping stream goes on from the start in the same buffer. Nothing
        // right after a rewind means the data is gone.
        if (!m_loop || rewound || !m_decoder->Rewind()) {
            break;
        }
        rewound = true;
    }
    return filled;
}

bool MusicStream::FillAndQueue(unsigned buffer) {
    const std::size_t frames = DecodeInto(m_pcm);
    if (frames == 0) {
        m_dataEnded = true;
        return false;
    }
    alBufferData(buffer, m_channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, m_pcm.data(),
                 static_cast<ALsizei>(frames * static_cast<std::size_t>(m_channels) * sizeof(std::int16_t)),
                 m_rate);
    ALuint name = buffer;
    alSourceQueueBuffers(m_source, 1, &name);
    return true;
}

void MusicStream::FeedProcessedBuffers() {
    ALint processed = 0;
    alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0 && !m_dataEnded; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(m_source, 1, &buffer);
        FillAndQueue(buffer);
    }
    ALint queued = 0;
    ALint state = AL_STOPPED;
    alGetSourcei(m_source, AL_BUFFERS_QUEUED, &queued);
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) {
        if (m_dataEnded && (queued == 0 || state == AL_STOPPED)) {
            m_playing = false;  // played out
        } else if (queued > 0) {
            alSourcePlay(m_source);  // the feeder fell behind: carry on
        }
    }
}

void MusicStream::Feed() {
    // Half a buffer's playing time: a processed buffer is refilled long before the queue runs
    // dry, and the thread wakes rarely.
    const auto interval = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::duration<double>(static_cast<double>(kFramesPerBuffer) / (2.0 * m_rate)));
    std::unique_lock lock(m_mutex);
    const std::chrono::nanoseconds startCpu = ThreadCpuTime();
    while (!m_quit) {
        if (m_playing) {
            FeedProcessedBuffers();
        }
        m_feedCpuTime = ThreadCpuTime() - startCpu;
        m_wake.wait_for(lock, interval);
    }
}

}  // namespace bass
