// Audio from a range of a file: the first eight bytes choose the range (offset and length,
// little-endian), the rest is the file. A range outside the file must be refused; one inside
// must read exactly its bytes, and decoding it must stay within it.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/bass/byte_source.h"
#include "platform/bass/sound_decoder.h"

namespace {

constexpr std::size_t kHeader = 8;
constexpr std::size_t kMaxDecodedSamples = 1 << 20;

std::uint32_t LittleEndian(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// The file lives in memory; the reader opens it by its path like any other.
std::string WriteFile(const std::uint8_t* bytes, std::size_t size) {
    static const int descriptor = memfd_create("fuzz_sound_range", 0);
    if (descriptor < 0 || ftruncate(descriptor, 0) != 0 ||
        pwrite(descriptor, bytes, size, 0) != static_cast<ssize_t>(size)) {
        __builtin_trap();
    }
    return "/proc/self/fd/" + std::to_string(descriptor);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeader) {
        return 0;
    }
    const std::uint64_t offset = LittleEndian(data);
    const std::uint64_t length = LittleEndian(data + 4);
    const std::uint8_t* file = data + kHeader;
    const std::size_t fileSize = size - kHeader;
    auto source = bass::ByteSource::OpenFileRange(WriteFile(file, fileSize), offset, length);
    const bool inside = offset <= fileSize && length <= fileSize - offset;
    if (!source) {
        if (inside) {
            __builtin_trap();
        }
        return 0;
    }
    if (!inside) {
        __builtin_trap();
    }
    const std::uint64_t rangeLength = length != 0 ? length : fileSize - offset;
    std::vector<std::uint8_t> range(static_cast<std::size_t>(rangeLength) + 1);
    if (source->Read(range.data(), static_cast<std::int64_t>(range.size())) !=
            static_cast<std::int64_t>(rangeLength) ||
        std::memcmp(range.data(), file + offset, static_cast<std::size_t>(rangeLength)) != 0 ||
        source->Seek(1, SEEK_END) != -1 || source->Seek(0, SEEK_SET) != 0) {
        __builtin_trap();
    }
    auto decoder = bass::SoundDecoder::Open(std::move(source));
    if (decoder) {
        std::vector<std::int16_t> samples;
        decoder->DecodeAll(samples, kMaxDecodedSamples);
        if (decoder->Rewind()) {
            std::int16_t frames[64 * 2];
            decoder->ReadFrames(frames, 64);
        }
    }
    return 0;
}
