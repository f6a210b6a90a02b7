#pragma once
// Short videos made at test time with FFmpeg's libraries: coloured bars over the top half and a
// box that moves one step to the right every frame over a black bottom half, so a pixel tells
// which frame is showing.

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
