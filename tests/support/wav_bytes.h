#pragma once
// Sound files written byte by byte, for tests that need a playable sound without an audio
// library of their own.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace zumbo::test {

// A 16-bit mono PCM WAV at 8000 Hz of the given length, every sample at a quarter of full scale.
std::vector<std::uint8_t> ConstantWav(double seconds);

// Writes through a temporary file and a rename: test programs running side by side that write
// the same file see it whole or not at all.
void WriteWhole(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace zumbo::test
