#include "tools/data_gen/audio_synth.h"

#include <sndfile.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>

namespace zumbo::datagen {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The frame of a time that may lie before the start or past the end of the loop.
std::size_t WrappedFrame(double seconds, std::size_t frames) {
    const auto frame = std::llround(seconds * kSampleRate) % static_cast<long long>(frames);
    return std::size_t(frame < 0 ? frame + static_cast<long long>(frames) : frame);
}

double MidiToFrequency(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// A soft pad voice: a few slightly detuned partials, panned by the detune.
void AddPad(StereoSound& sound, double start, double length, double frequency, double gain) {
    const std::size_t frames = sound.Frames();
    const std::size_t first = WrappedFrame(start, frames);
    const auto count = std::size_t(length * kSampleRate);
    const double attack = length * 0.35;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t frame = (first + i) % frames;  // wraps, so the loop point is seamless
        const double t = double(i) / kSampleRate;
        const double envelope = std::sin(std::numbers::pi / 2 * std::min(1.0, t / attack)) *
                                std::sin(std::numbers::pi / 2 * std::min(1.0, (length - t) / attack));
        const double left =
            std::sin(kTwoPi * frequency * 0.998 * t) + 0.3 * std::sin(kTwoPi * frequency * 2.003 * t);
        const double right =
            std::sin(kTwoPi * frequency * 1.002 * t) + 0.3 * std::sin(kTwoPi * frequency * 1.997 * t);
        sound.samples[2 * frame] += float(gain * envelope * left);
        sound.samples[2 * frame + 1] += float(gain * envelope * right);
    }
}

// A drop of water: a short sine gliding upwards, panned.
void AddDrop(StereoSound& sound, double start, double frequency, double pan, double gain) {
    const std::size_t frames = sound.Frames();
    const std::size_t first = WrappedFrame(start, frames);
    const auto count = std::size_t(0.25 * kSampleRate);
    double phase = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = double(i) / kSampleRate;
        phase += kTwoPi * frequency * (1.0 + 1.5 * t) / kSampleRate;
        const double value = gain * std::exp(-t * 22.0) * std::sin(phase);
        const std::size_t frame = (first + i) % frames;
        sound.samples[2 * frame] += float(value * (1.0 - pan));
        sound.samples[2 * frame + 1] += float(value * pan);
    }
}

std::uint32_t NextRandom(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

}  // namespace

StereoSound MenuMusic(double seconds) {
    StereoSound sound;
    sound.samples.assign(std::size_t(seconds * kSampleRate) * 2, 0.0f);
    // A minor, F major, C major, G major, one chord a quarter of the piece, each overlapping the next.
    const std::array<std::array<int, 3>, 4> chords{{{57, 60, 64}, {53, 57, 60}, {48, 55, 64}, {55, 59, 62}}};
    const double step = seconds / double(chords.size());
    for (std::size_t chord = 0; chord < chords.size(); ++chord) {
        for (int note : chords[chord]) {
            AddPad(sound, double(chord) * step - step * 0.25, step * 1.5, MidiToFrequency(note), 0.07);
        }
        AddPad(sound, double(chord) * step, step, MidiToFrequency(chords[chord][0] - 12), 0.08);
    }
    std::uint32_t random = 20261208u;
    for (double time = 0.7; time < seconds - 0.3; time += 0.9 + double(NextRandom(random) % 1000) / 500.0) {
        const double frequency = 900.0 + double(NextRandom(random) % 900);
        const double pan = double(NextRandom(random) % 1000) / 1000.0;
        AddDrop(sound, time, frequency, pan, 0.12);
    }
    return sound;
}

StereoSound Click(double frequency, double seconds) {
    StereoSound sound;
    const auto frames = std::size_t(seconds * kSampleRate);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / kSampleRate;
        const auto value = float(0.5 * std::exp(-t * 60.0) * std::sin(kTwoPi * frequency * t));
        sound.samples.push_back(value);
        sound.samples.push_back(value);
    }
    return sound;
}

bool WriteSound(const std::string& path, const StereoSound& sound, AudioFormat format, std::string& error) {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 2;
    info.format =
        format == AudioFormat::Wav ? (SF_FORMAT_WAV | SF_FORMAT_PCM_16) : (SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    const std::string temporary = path + ".tmp";
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        error = sf_strerror(nullptr);
        return false;
    }
    if (format == AudioFormat::OggVorbis) {
        double quality = 0.5;
        sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    }
    const auto frames = sf_count_t(sound.Frames());
    const bool written = sf_writef_float(file, sound.samples.data(), frames) == frames;
    sf_close(file);
    std::error_code renameError;
    if (written) {
        std::filesystem::rename(temporary, path, renameError);
    }
    if (!written || renameError) {
        std::filesystem::remove(temporary, renameError);
        error = written ? "cannot replace the file" : "cannot write the samples";
        return false;
    }
    return true;
}

}  // namespace zumbo::datagen
