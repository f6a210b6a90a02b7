// Decodes arbitrary block data of arbitrary size into an image of the size the first bytes name.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/d3d8/dxt_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    static constexpr D3DFORMAT kFormats[] = {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5, D3DFMT_A8R8G8B8};
    const D3DFORMAT format = kFormats[data[0] % 4];
    const UINT width = data[1] % 70 + 1;
    const UINT height = data[2] % 70 + 1;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    d3d8::DecodeDxt(format, data + 3, size - 3, width, height, pixels.data());
    return 0;
}
