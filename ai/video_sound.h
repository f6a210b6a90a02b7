#pragma once
// The sound of a video played full window: the file's sound track played as a stream of the
// audio library, from the first picture until the player lets it go.

#include <memory>
#include <string>

#include "platform/bass/bass.h"
#include "platform/dshow/sound_track.h"

class CVideoSound {
public:
    // Null when no sound device is open or the file's sound does not decode; the log says
    // so, and the picture then plays without sound.
    static std::unique_ptr<CVideoSound> Open(const std::string& path);
    // Silences the sound at once.
    ~CVideoSound();
    CVideoSound(const CVideoSound&) = delete;
    CVideoSound& operator=(const CVideoSound&) = delete;

    void Play();

private:
    explicit CVideoSound(std::unique_ptr<dshow::SoundTrack> track) : m_track(std::move(track)) {}
    // The stream's procedure, called on the audio library's thread.
    static DWORD Feed(HSTREAM stream, void* buffer, DWORD length, void* user);

    std::unique_ptr<dshow::SoundTrack> m_track;
    HSTREAM m_stream = 0;
};
