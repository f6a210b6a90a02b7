// The INI document on arbitrary text: a value it accepts must read back after the text
// is written and parsed again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/win32/profile_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    win32::ProfileDocument document(text);
    document.Get("boot", "SCRNSAVE.EXE");
    if (!document.Set("boot", "SCRNSAVE.EXE", "C:\\WINDOWS\\ZUMBOC~1.SCR")) {
        std::abort();
    }
    const win32::ProfileDocument again(document.Text());
    if (again.Get("Boot", "scrnsave.exe") != "C:\\WINDOWS\\ZUMBOC~1.SCR") {
        std::abort();
    }
    return 0;
}
