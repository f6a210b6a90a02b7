#include "scr/host_prompter.h"

#include "platform/win32/window.h"

int CMessageBoxPrompter::Show(std::string_view text, std::string_view caption, UINT type) {
    return win32::MessageBox(nullptr, text, caption, type);
}
