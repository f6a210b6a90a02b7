#pragma once
// Synthesised sounds of the demo: a calm looping menu piece and short interface clicks.

#include <string>
#include <vector>

namespace zumbo::datagen {

inline constexpr int kSampleRate = 44100;

// Interleaved stereo samples in -1..1.
struct StereoSound {
    std::vector<float> samples;
    std::size_t Frames() const { return samples.size() / 2; }
};

// Slow pad chords with drops of water; the last frame flows into the first, so it loops.
StereoSound MenuMusic(double seconds);

// A short decaying blip at the pitch, for buttons.
StereoSound Click(double frequency, double seconds);

enum class AudioFormat { Wav, OggVorbis };

// Writes through a temporary file and a rename; false with a message on failure.
bool WriteSound(const std::string& path, const StereoSound& sound, AudioFormat format, std::string& error);

}  // namespace zumbo::datagen
