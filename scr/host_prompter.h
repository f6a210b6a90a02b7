#pragma once
// How the host shows its message boxes; tests answer them with a stand-in.

#include <string_view>

#include "platform/win32/types.h"

inline constexpr const char* kHostCaption = "Zumbo Cave Screen Saver";

class CHostPrompter {
public:
    virtual ~CHostPrompter() = default;
    // Returns the button pressed (IDOK, IDYES, IDNO, ...).
    virtual int Show(std::string_view text, std::string_view caption, UINT type) = 0;
};

// Real message boxes; on standard error when headless or without a display.
class CMessageBoxPrompter final : public CHostPrompter {
public:
    int Show(std::string_view text, std::string_view caption, UINT type) override;
};
