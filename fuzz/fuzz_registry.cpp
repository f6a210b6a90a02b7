// The registry file parser on arbitrary bytes; whatever it accepts must format into text
// that parses back to the same registry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/win32/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    win32::RegistryTree tree;
    std::string error;
    if (!win32::ParseRegistryText(text, tree, error)) {
        return 0;
    }
    const std::string formatted = win32::FormatRegistryText(tree);
    win32::RegistryTree again;
    if (!win32::ParseRegistryText(formatted, again, error) || win32::FormatRegistryText(again) != formatted) {
        std::abort();
    }
    return 0;
}
