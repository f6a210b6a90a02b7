#pragma once
// A one-line text field: takes the typed characters while visible, shows them with a
// blinking cursor mark in its child "Text" and publishes them through the broker.

#include <cstdint>
#include <string>

#include "frontend/frontend_element.h"

class CAIEditBox : public CAIFrontendControl {
public:
    explicit CAIEditBox(const enXml& element);

    bool Update() override;

    const std::string& GetText() const { return m_text; }
    bool IsCursorShown() const { return m_cursorShown; }

private:
    void BlinkCursor();
    // Applies backspaces and printable characters; false when nothing was typed.
    bool TakeTypedText(const std::string& typed);
    void ShowText() const;

    std::string m_brokerPath;
    std::string m_text;
    std::int32_t m_maxCharacters = 10;
    bool m_showCursor = true;
    std::int32_t m_cursorBlinkDelay = 15;
    bool m_cursorShown = true;
    std::int32_t m_tickCount = 0;
};
