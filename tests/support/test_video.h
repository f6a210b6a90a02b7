#pragma once
// Short videos made at test time with FFmpeg's libraries: coloured bars over the top half and a
// box that moves one step to the right every frame over a black bottom half, so a pixel tells
// which frame is showing. On request they carry a sound track of a sine as long as the picture.

#include <cstdint>
#include <filesystem>
#include <string>

namespace zumbo::test {

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

struct TestVideo {
    int width = 64;
    int height = 32;
    int frames = 10;
    int frameRate = 15;
    // The encoder by FFmpeg's name; "ffv1" stores the colours losslessly.
    std::string encoder = "ffv1";

    // The sound: a sine of this frequency in every channel; 0 leaves the video without sound.
    double toneFrequency = 0.0;
    double toneAmplitude = 0.5;  // full scale 1
    int audioRate = 22050;
    int audioChannels = 1;
    std::string audioEncoder = "pcm_s16le";
    double soundSeconds = 0.0;  // 0: as long as the picture
    // Where each stream starts on the file's clock, in frames of its own.
    int firstPictureFrame = 0;
    int firstSoundSample = 0;

    double Seconds() const { return static_cast<double>(frames) / frameRate; }
    double SoundSeconds() const { return soundSeconds > 0.0 ? soundSeconds : Seconds(); }

    static constexpr int kBoxSize = 4;
    // Four bars of equal width: red, green, blue, white.
    static Rgb BarColour(int x, int width);
    // The colour the pattern has at (x, y) of frame `frame`; y counts from the top.
    Rgb ColourAt(int frame, int x, int y) const;
    // Left edge of the box in frame `frame`.
    int BoxLeft(int frame) const;

    // Writes the video; the container follows the file extension. False when the libraries
    // cannot (the message says why).
    bool Write(const std::filesystem::path& file, std::string& message) const;
};

}  // namespace zumbo::test
