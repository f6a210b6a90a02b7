#include "engine/messages_broker.h"

#include <array>

#include "app/debug_log.h"
#include "resource/name_atom.h"
#include "resource/xml.h"

namespace {

constexpr std::array<std::string_view, 21> kMessageNames = {
    "Unknown",
    "ResetScene",
    "LoadScene",
    "LoadLevel",
    "ClearLevel",
    "StopGame",
    "LoadGame",
    "PauseGame",
    "ReplayLastEpisode",
    "ExitApplication",
    "FrontendStart",
    "FrontendStop",
    "FrontendSwitchDialog",
    "ButtonPressed",
    "OpenAffiliateLink",
    "OpenHighScoreLink",
    "OpenLocalLink",
    "OpenWebLink",
    "MusicStart",
    "MusicStop",
    "TextMessage",
};

// Pieces between '(' and ')' characters, empty ones dropped; stops counting past three.
std::vector<std::string_view> SplitAtParentheses(std::string_view text) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (start <= text.size() && pieces.size() < 3) {
        const std::size_t end = text.find_first_of("()", start);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start) {
            pieces.push_back(text.substr(start, stop - start));
        }
        start = stop + 1;
    }
    return pieces;
}

tMessage ReportUnparsable(std::string_view text) {
    const std::string copy(text);
    CDebugLog::Instance().LogLevel(2, "WARNING! Failed to parse the following message: \"%s\"", copy.c_str());
    return {};
}

}  // namespace

tMessage CMessagesBroker::Parse(std::string_view text) const {
    if (text.empty()) {
        return {};
    }
    const auto pieces = SplitAtParentheses(text);
    if (pieces.empty() || pieces.size() > 2) {
        return ReportUnparsable(text);
    }
    for (std::size_t code = 0; code < kMessageNames.size(); ++code) {
        if (EqualsIgnoringCase(pieces[0], kMessageNames[code])) {
            tMessage message;
            message.code = static_cast<std::int32_t>(code);
            if (pieces.size() == 2) {
                message.argument = pieces[1];
            }
            return message;
        }
    }
    return ReportUnparsable(text);
}

void CMessagesBroker::ParseList(const enXml& element, std::string_view tagName,
                                std::vector<tMessage>& out) const {
    const NameAtom* tag = InternName(tagName);
    for (const enXml* child = element.FirstChild(); child; child = child->NextSibling()) {
        if (child->GetName()->Matches(*tag)) {
            std::string text;
            child->GetAttributeString(ValueName(), text);
            out.push_back(Parse(text));
        }
    }
}

void CMessagesBroker::Post(const tMessage& message) {
    m_pending.push_back(message);
}

void CMessagesBroker::PostAll(const std::vector<tMessage>& messages) {
    m_pending.insert(m_pending.end(), messages.begin(), messages.end());
}

void CMessagesBroker::Promote() {
    m_current.clear();
    m_current.swap(m_pending);
}
