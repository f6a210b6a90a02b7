#include "tests/support/wav_bytes.h"

#include <unistd.h>

#include <fstream>
#include <string>
#include <string_view>

namespace zumbo::test {

namespace {
constexpr std::uint32_t kRate = 8000;
constexpr std::uint32_t kQuarterScale = 0x2000;
}  // namespace

std::vector<std::uint8_t> ConstantWav(double seconds) {
    const auto frames = static_cast<std::uint32_t>(seconds * kRate);
    const std::uint32_t dataBytes = frames * 2;
    std::vector<std::uint8_t> bytes;
    auto text = [&](std::string_view four) {
        for (char c : four) {
            bytes.push_back(static_cast<std::uint8_t>(c));
        }
    };
    auto number = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    text("RIFF");
    number(36 + dataBytes, 4);
    text("WAVE");
    text("fmt ");
    number(16, 4);
    number(1, 2);  // PCM
    number(1, 2);  // mono
    number(kRate, 4);
    number(kRate * 2, 4);
    number(2, 2);
    number(16, 2);
    text("data");
    number(dataBytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        number(kQuarterScale, 2);
    }
    return bytes;
}

void WriteWhole(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path temporary = path.string() + "." + std::to_string(::getpid()) + ".tmp";
    std::ofstream(temporary, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::filesystem::rename(temporary, path);
}

}  // namespace zumbo::test
