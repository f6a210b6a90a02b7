#include "tests/support/image_bytes.h"

namespace zumbo::test {
namespace {

void PutLittle(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

}  // namespace

std::string TgaFile(unsigned width, unsigned height, const std::vector<std::uint32_t>& argb) {
    std::string out;
    PutLittle(out, 0, 2);  // no identification, no colour map
    PutLittle(out, 2, 1);  // uncompressed true colour
    out.append(5, '\0');   // colour map: none
    PutLittle(out, 0, 4);  // origin
    PutLittle(out, width, 2);
    PutLittle(out, height, 2);
    PutLittle(out, 32, 1);    // bits per pixel
    PutLittle(out, 0x28, 1);  // top-left origin, 8 alpha bits
    for (std::uint32_t pixel : argb) {
        PutLittle(out, pixel, 4);  // B, G, R, A
    }
    return out;
}

std::string DdsFile(unsigned width, unsigned height, unsigned mipCount, const DdsPixelFormat& format,
                    const std::vector<std::uint8_t>& data) {
    std::string out = "DDS ";
    PutLittle(out, 124, 4);
    PutLittle(out, 0x1007 | (mipCount > 0 ? 0x20000 : 0), 4);
    PutLittle(out, height, 4);
    PutLittle(out, width, 4);
    PutLittle(out, 0, 4);  // pitch or linear size, not needed
    PutLittle(out, 0, 4);  // depth
    PutLittle(out, mipCount, 4);
    out.append(44, '\0');
    PutLittle(out, 32, 4);
    PutLittle(out, format.flags, 4);
    PutLittle(out, format.fourCC, 4);
    PutLittle(out, format.bitCount, 4);
    PutLittle(out, format.red, 4);
    PutLittle(out, format.green, 4);
    PutLittle(out, format.blue, 4);
    PutLittle(out, format.alpha, 4);
    PutLittle(out, 0x1000, 4);  // caps: texture
    out.append(16, '\0');
    out.append(data.begin(), data.end());
    return out;
}

}  // namespace zumbo::test
