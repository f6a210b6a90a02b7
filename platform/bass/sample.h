#pragma once
// A sound decoded whole into memory, with up to its maximum of simultaneous playbacks
// (channels). A channel handle stays valid until its playback slot is taken for a new one.

#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/win32/types.h"

namespace bass {

class SoundDecoder;

class Sample {
public:
    // Null decoder or undecodable data leave the sample empty (IsLoaded false).
    Sample(SoundDecoder& decoder, DWORD maxPlaybacks, bool audible);
    ~Sample();
    Sample(const Sample&) = delete;
    Sample& operator=(const Sample&) = delete;

    bool IsLoaded() const { return m_loaded; }
    int Rate() const { return m_rate; }

    // A slot for a new playback under the handle given: a free slot, else the one that
    // finished first, else (unless onlyNew) the one playing longest. 0 when none.
    DWORD TakeChannel(DWORD handle, bool onlyNew);
    bool HasChannel(DWORD handle) const { return FindVoice(handle) != nullptr; }
    bool Play(DWORD handle, bool restart);
    bool Stop(DWORD handle);
    bool SetVolume(DWORD handle, int volume);
    int Volume(DWORD handle) const;
    bool IsPlaying(DWORD handle) const;
    void StopAll();

private:
    using Clock = std::chrono::steady_clock;

    struct Voice {
        DWORD handle = 0;
        unsigned source = 0;
        int volume = 100;
        bool started = false;
        Clock::time_point startTime;
    };

    Voice* FindVoice(DWORD handle);
    const Voice* FindVoice(DWORD handle) const;
    bool VoiceIsPlaying(const Voice& voice) const;
    Voice* ChooseSlot(bool onlyNew);

    std::vector<Voice> m_voices;
    DWORD m_maxPlaybacks;
    bool m_audible;
    bool m_loaded = false;
    unsigned m_buffer = 0;
    int m_rate = 0;
    Clock::duration m_duration{};
};

}  // namespace bass
