#pragma once
// Test audio: tones written with libsndfile, and the levels read back from a written WAV.

#include <filesystem>
#include <vector>

namespace zumbo::test {

// A 16-bit WAV of a sine (frequency 0: a constant level) at the amplitude (full scale 1).
void WriteTone(const std::filesystem::path& path, double frequency, double amplitude, double seconds,
               int rate = 44100, int channels = 1);

struct Recording {
    std::vector<float> mono;  // the channels averaged
    int rate = 0;

    double Seconds() const { return rate ? static_cast<double>(mono.size()) / rate : 0.0; }
    // The amplitude of the frequency over [start, start + length) seconds (Goertzel).
    double ToneLevel(double frequency, double start, double length) const;
    // The mean sample value over the window.
    double MeanLevel(double start, double length) const;
};

// Empty when the file cannot be read.
Recording ReadRecording(const std::filesystem::path& path);

}  // namespace zumbo::test
