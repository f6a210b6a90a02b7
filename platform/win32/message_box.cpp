#include <cstdio>
#include <string>

#include "platform/win32/window.h"
#include "platform/win32/window_system.h"

namespace win32 {

namespace {
constexpr UINT kButtonMask = 0x0F;

int DefaultButton(UINT type) {
    return (type & kButtonMask) == MB_YESNO ? IDYES : IDOK;
}

void WriteToStandardError(std::string_view text, std::string_view caption) {
    const std::string line = std::string(caption) + ": " + std::string(text) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}
}  // namespace

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) {
    WindowBackend& backend = WindowSystem::Get().Backend();
    int result = 0;
    if (!backend.IsHeadless() &&
        backend.ShowMessageBox(IsWindow(owner) ? owner : nullptr, text, caption, type, &result)) {
        return result;
    }
    WriteToStandardError(text, caption);
    return DefaultButton(type);
}

}  // namespace win32
