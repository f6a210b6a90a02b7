// The "[Rename]" edit of wininit.ini on arbitrary file text: nothing of the old text is lost
// and the new line is there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scr/wininit_rename.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view line = "NUL=C:\\WINDOWS\\TEMP\\ZUMBOS~1.EXE\r\n";
    const std::string edited = AddRenameLine(text, line);
    if (edited.size() < text.size() + line.size() || edited.find(line) == std::string::npos) {
        std::abort();
    }
    // The old text is still all there, in its order.
    std::size_t from = 0;
    for (char c : text) {
        from = edited.find(c, from);
        if (from == std::string::npos) {
            std::abort();
        }
        ++from;
    }
    return 0;
}
