#include "render/font_flags.h"

#include <algorithm>
#include <array>
#include <string>

#include "app/debug_log.h"

namespace {

struct tFontFlagName {
    std::string_view name;
    std::uint32_t value;
};

constexpr std::array<tFontFlagName, 8> kFontFlagNames = {{
    {"D3DFONT_CENTERED_X", D3DFONT_CENTERED_X},
    {"D3DFONT_ALIGN_RIGHT", D3DFONT_ALIGN_RIGHT},
    {"D3DFONT_CENTERED_Y", D3DFONT_CENTERED_Y},
    {"D3DFONT_ALIGN_TOP", D3DFONT_ALIGN_TOP},
    {"D3DFONT_TWOSIDED", D3DFONT_TWOSIDED},
    {"D3DFONT_FILTERED", D3DFONT_FILTERED},
    {"D3DFONT_ALIGN_LEFT", 0},
    {"D3DFONT_ALIGN_BOTTOM", 0},
}};

std::uint32_t FlagValue(std::string_view piece) {
    for (const tFontFlagName& flag : kFontFlagNames) {
        if (flag.name == piece) {
            return flag.value;
        }
    }
    const std::string copy(piece);
    CDebugLog::Instance().LogLevel(1, "Unknown font flag: %s. Skipping.", copy.c_str());
    return 0;
}

}  // namespace

std::uint32_t ParseFontFlags(std::string_view text) {
    std::uint32_t flags = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of(",;", start), text.size());
        if (end > start) {
            flags |= FlagValue(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return flags;
}
