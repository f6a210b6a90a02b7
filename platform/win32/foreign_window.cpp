#include "platform/win32/foreign_window.h"

#include <cstdio>
#include <cstring>

#include "platform/win32/window_system.h"
#include "platform/x11/x11_windows.h"

namespace win32 {

namespace {

constexpr const char* kOption = "-window-id";

}  // namespace

bool TakeForeignWindowOption(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kOption) != 0) {
            continue;
        }
        const auto id = i + 1 < argc ? x11::ParseWindowId(argv[i + 1]) : std::nullopt;
        if (!id) {
            std::fprintf(stderr, "%s needs an X11 window id (decimal or 0x hexadecimal)\n", kOption);
            return false;
        }
        if (!x11::WindowExists(*id)) {
            std::fprintf(stderr, "%s: there is no X11 window %s to draw into\n", kOption, argv[i + 1]);
            return false;
        }
        WindowSystem::Get().SetForeignWindow(*id);
        for (int j = i; j + 2 <= argc; ++j) {
            argv[j] = argv[j + 2];
        }
        argc -= 2;
        return true;
    }
    return true;
}

std::optional<std::uint64_t> ForeignMainWindow() {
    return WindowSystem::Get().ForeignWindow();
}

}  // namespace win32
