#include "platform/dxfile/x_decompress.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace dxfile {
namespace {

constexpr std::size_t kBlockLimit = 32768;
constexpr std::size_t kDictionary = 32768;

std::uint16_t ReadWord(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void PutWord(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// One block, with the tail of the earlier output as its dictionary.
bool InflateBlock(z_stream& stream, std::span<const std::uint8_t> data, std::size_t expected,
                  std::vector<std::uint8_t>& out) {
    if (inflateReset(&stream) != Z_OK) {
        return false;
    }
    if (!out.empty()) {
        const std::size_t size = std::min(out.size(), kDictionary);
        if (inflateSetDictionary(&stream, out.data() + out.size() - size, static_cast<uInt>(size)) != Z_OK) {
            return false;
        }
    }
    const std::size_t start = out.size();
    out.resize(start + expected);
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data() + start;
    stream.avail_out = static_cast<uInt>(expected);
    const int result = inflate(&stream, Z_FINISH);
    const bool complete =
        (result == Z_STREAM_END || result == Z_BUF_ERROR || result == Z_OK) && stream.avail_out == 0;
    return complete;
}

}  // namespace

bool DecompressMsZip(std::span<const std::uint8_t> body, std::vector<std::uint8_t>& out,
                     std::size_t maxBytes) {
    if (body.size() < 4) {
        return false;
    }
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        return false;
    }
    std::size_t pos = 4;  // the total size is only a hint: the blocks say what they hold
    bool ok = true;
    while (ok && pos < body.size()) {
        if (body.size() - pos < 4) {
            ok = false;
            break;
        }
        const std::size_t plainSize = ReadWord(&body[pos]);
        std::size_t packedSize = ReadWord(&body[pos + 2]);
        pos += 4;
        if (plainSize == 0 || plainSize > kBlockLimit || packedSize > body.size() - pos ||
            out.size() + plainSize > maxBytes) {
            ok = false;
            break;
        }
        std::span<const std::uint8_t> block = body.subspan(pos, packedSize);
        pos += packedSize;
        if (block.size() >= 2 && block[0] == 'C' && block[1] == 'K') {
            block = block.subspan(2);
        }
        ok = InflateBlock(stream, block, plainSize, out);
    }
    inflateEnd(&stream);
    return ok;
}

std::vector<std::uint8_t> CompressMsZip(std::span<const std::uint8_t> plain) {
    std::vector<std::uint8_t> out;
    const std::size_t total = plain.size() + 16;
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((total >> shift) & 0xFF));
    }
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    for (std::size_t start = 0; start < plain.size(); start += kBlockLimit) {
        const std::size_t size = std::min(kBlockLimit, plain.size() - start);
        deflateReset(&stream);
        if (start > 0) {
            const std::size_t dictionary = std::min(start, kDictionary);
            deflateSetDictionary(&stream, plain.data() + start - dictionary, static_cast<uInt>(dictionary));
        }
        std::vector<std::uint8_t> packed(deflateBound(&stream, static_cast<uLong>(size)) + 2);
        packed[0] = 'C';
        packed[1] = 'K';
        stream.next_in = const_cast<Bytef*>(plain.data() + start);
        stream.avail_in = static_cast<uInt>(size);
        stream.next_out = packed.data() + 2;
        stream.avail_out = static_cast<uInt>(packed.size() - 2);
        deflate(&stream, Z_FINISH);
        packed.resize(packed.size() - stream.avail_out);
        PutWord(out, size);
        PutWord(out, packed.size());
        out.insert(out.end(), packed.begin(), packed.end());
    }
    deflateEnd(&stream);
    return out;
}

}  // namespace dxfile
