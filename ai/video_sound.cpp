#include "ai/video_sound.h"

#include "app/debug_log.h"

namespace {

constexpr DWORD kSilentDevice = 0;
constexpr DWORD kNoDevice = static_cast<DWORD>(-1);

}  // namespace

std::unique_ptr<CVideoSound> CVideoSound::Open(const std::string& path) {
    CDebugLog& log = CDebugLog::Instance();
    const DWORD device = BASS_GetDevice();
    if (device == kSilentDevice || device == kNoDevice) {
        log.Log("CAIPlayVideoFile: No sound device, playing %s without sound", path.c_str());
        return nullptr;
    }
    std::string error;
    std::unique_ptr<dshow::SoundTrack> track = dshow::SoundTrack::Open(path, error);
    if (!track) {
        log.LogLevel(1, "CAIPlayVideoFile: Could not decode the sound of %s (%s), playing it without sound",
                     path.c_str(), error.c_str());
        return nullptr;
    }
    // The procedure's data lives in the object made below; the stream waits for Play.
    auto sound = std::unique_ptr<CVideoSound>(new CVideoSound(std::move(track)));
    sound->m_stream = BASS_StreamCreate(dshow::SoundTrack::kRate, dshow::SoundTrack::kChannels, 0,
                                        &CVideoSound::Feed, sound.get());
    if (sound->m_stream == 0) {
        log.LogLevel(1, "CAIPlayVideoFile: Could not create the sound stream of %s (error %d)", path.c_str(),
                     BASS_ErrorGetCode());
        return nullptr;
    }
    return sound;
}

// The stream goes first: once it is freed the audio thread no longer reads the track.
CVideoSound::~CVideoSound() {
    if (m_stream != 0) {
        BASS_StreamFree(m_stream);
    }
}

void CVideoSound::Play() {
    BASS_ChannelPlay(m_stream, 1);
}

DWORD CVideoSound::Feed(HSTREAM, void* buffer, DWORD length, void* user) {
    constexpr DWORD kFrameBytes = dshow::SoundTrack::kChannels * sizeof(std::int16_t);
    const std::size_t frames = length / kFrameBytes;
    const std::size_t read =
        static_cast<CVideoSound*>(user)->m_track->ReadFrames(static_cast<std::int16_t*>(buffer), frames);
    const DWORD bytes = static_cast<DWORD>(read) * kFrameBytes;
    return read < frames ? bytes | BASS_STREAMPROC_END : bytes;
}
