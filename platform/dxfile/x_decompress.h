#pragma once
// The MSZIP body of compressed X-files: after the 16-byte header a 32-bit total size, then
// blocks of a 16-bit uncompressed size, a 16-bit compressed size and "CK" followed by raw
// deflate data that may refer back into the previous block's output.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dxfile {

// Output is bounded by maxBytes. False for malformed or truncated data.
bool DecompressMsZip(std::span<const std::uint8_t> body, std::vector<std::uint8_t>& out,
                     std::size_t maxBytes);

// The inverse, for tests and tools: blocks of at most 32 KiB.
std::vector<std::uint8_t> CompressMsZip(std::span<const std::uint8_t> plain);

}  // namespace dxfile
