#include "platform/bass/sample.h"

#include <AL/al.h>

#include <algorithm>

#include "platform/bass/audio_device.h"
#include "platform/bass/sound_decoder.h"

namespace bass {

namespace {
// Ten minutes of 48 kHz stereo: more is not a sound effect, and refusing it bounds memory.
constexpr std::size_t kMaxSampleValues = 48000u * 2u * 600u;
}  // namespace

Sample::Sample(SoundDecoder& decoder, DWORD maxPlaybacks, bool audible)
    : m_maxPlaybacks(std::max<DWORD>(maxPlaybacks, 1)), m_audible(audible) {
    std::vector<std::int16_t> pcm;
    if (!decoder.DecodeAll(pcm, kMaxSampleValues) || pcm.empty()) {
        return;
    }
    m_rate = decoder.Rate();
    const std::size_t frames = pcm.size() / static_cast<std::size_t>(decoder.Channels());
    m_duration = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(frames) / static_cast<double>(m_rate)));
    if (m_audible) {
        alGenBuffers(1, &m_buffer);
        alBufferData(m_buffer, decoder.Channels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, pcm.data(),
                     static_cast<ALsizei>(pcm.size() * sizeof(std::int16_t)), m_rate);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &m_buffer);
            m_buffer = 0;
            return;
        }
    }
    m_loaded = true;
}

Sample::~Sample() {
    for (Voice& voice : m_voices) {
        DeleteSource(voice.source);
    }
    if (m_buffer != 0) {
        alDeleteBuffers(1, &m_buffer);
    }
}

Sample::Voice* Sample::FindVoice(DWORD handle) {
    auto found = std::find_if(m_voices.begin(), m_voices.end(),
                              [handle](const Voice& voice) { return voice.handle == handle; });
    return found == m_voices.end() ? nullptr : &*found;
}

const Sample::Voice* Sample::FindVoice(DWORD handle) const {
    return const_cast<Sample*>(this)->FindVoice(handle);
}

bool Sample::VoiceIsPlaying(const Voice& voice) const {
    if (!voice.started) {
        return false;
    }
    if (voice.source == 0) {
        return Clock::now() - voice.startTime < m_duration;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

Sample::Voice* Sample::ChooseSlot(bool onlyNew) {
    if (m_voices.size() < m_maxPlaybacks) {
        Voice voice;
        voice.source = CreatePlainSource(m_audible);
        if (m_audible && voice.source == 0) {
            return nullptr;
        }
        if (voice.source != 0) {
            alSourcei(voice.source, AL_BUFFER, static_cast<ALint>(m_buffer));
        }
        m_voices.push_back(voice);
        return &m_voices.back();
    }
    Voice* finished = nullptr;
    Voice* longest = nullptr;
    for (Voice& voice : m_voices) {
        Voice*& pick = VoiceIsPlaying(voice) ? longest : finished;
        if (!pick || voice.startTime < pick->startTime) {
            pick = &voice;
        }
    }
    return finished ? finished : (onlyNew ? nullptr : longest);
}

DWORD Sample::TakeChannel(DWORD handle, bool onlyNew) {
    if (!m_loaded) {
        return 0;
    }
    Voice* voice = ChooseSlot(onlyNew);
    if (!voice) {
        return 0;
    }
    if (voice->source != 0) {
        alSourceStop(voice->source);
    }
    voice->handle = handle;
    voice->volume = 100;
    voice->started = false;
    SetSourceVolume(voice->source, voice->volume);
    return handle;
}

bool Sample::Play(DWORD handle, bool restart) {
    Voice* voice = FindVoice(handle);
    if (!voice) {
        return false;
    }
    if (VoiceIsPlaying(*voice) && !restart) {
        return true;
    }
    voice->started = true;
    voice->startTime = Clock::now();
    if (voice->source != 0) {
        alSourceRewind(voice->source);
        alSourcePlay(voice->source);
    }
    return true;
}

bool Sample::Stop(DWORD handle) {
    Voice* voice = FindVoice(handle);
    if (!voice) {
        return false;
    }
    voice->started = false;
    if (voice->source != 0) {
        alSourceStop(voice->source);
    }
    return true;
}

void Sample::StopAll() {
    for (const Voice& voice : m_voices) {
        Stop(voice.handle);
    }
}

bool Sample::SetVolume(DWORD handle, int volume) {
    Voice* voice = FindVoice(handle);
    if (!voice) {
        return false;
    }
    voice->volume = volume;
    SetSourceVolume(voice->source, volume);
    return true;
}

int Sample::Volume(DWORD handle) const {
    const Voice* voice = FindVoice(handle);
    return voice ? voice->volume : 0;
}

bool Sample::IsPlaying(DWORD handle) const {
    const Voice* voice = FindVoice(handle);
    return voice && VoiceIsPlaying(*voice);
}

}  // namespace bass
