#include "tests/support/audio_signal.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zumbo::test {

namespace {

// The window's first and end index, clipped to the recording.
std::pair<std::size_t, std::size_t> Window(const Recording& recording, double start, double length) {
    const auto first = static_cast<std::size_t>(std::max(0.0, start) * recording.rate);
    const auto end = static_cast<std::size_t>(std::max(0.0, start + length) * recording.rate);
    return {std::min(first, recording.mono.size()), std::min(end, recording.mono.size())};
}

}  // namespace

void WriteTone(const std::filesystem::path& path, double frequency, double amplitude, double seconds,
               int rate, int channels) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        return;
    }
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<double> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const double phase = 2.0 * std::numbers::pi * frequency * static_cast<double>(frame) / rate;
        const double value = frequency == 0.0 ? amplitude : amplitude * std::sin(phase);
        std::fill_n(samples.begin() + static_cast<std::ptrdiff_t>(frame * channels), channels, value);
    }
    sf_writef_double(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

Recording ReadRecording(const std::filesystem::path& path) {
    Recording recording;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        return recording;
    }
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t frames = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    recording.rate = info.samplerate;
    recording.mono.resize(static_cast<std::size_t>(std::max<sf_count_t>(frames, 0)));
    for (std::size_t frame = 0; frame < recording.mono.size(); ++frame) {
        float sum = 0.0f;
        for (int channel = 0; channel < info.channels; ++channel) {
            sum += interleaved[frame * static_cast<std::size_t>(info.channels) +
                               static_cast<std::size_t>(channel)];
        }
        recording.mono[frame] = sum / static_cast<float>(info.channels);
    }
    return recording;
}

double Recording::ToneLevel(double frequency, double start, double length) const {
    const auto [first, end] = Window(*this, start, length);
    if (end <= first) {
        return 0.0;
    }
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * frequency / rate);
    double previous = 0.0;
    double beforePrevious = 0.0;
    for (std::size_t i = first; i < end; ++i) {
        const double current = mono[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power =
        previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(end - first);
}

double Recording::MeanLevel(double start, double length) const {
    const auto [first, end] = Window(*this, start, length);
    if (end <= first) {
        return 0.0;
    }
    double sum = 0.0;
    for (std::size_t i = first; i < end; ++i) {
        sum += mono[i];
    }
    return sum / static_cast<double>(end - first);
}

}  // namespace zumbo::test
