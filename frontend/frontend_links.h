#pragma once
// The link messages of the frontend: files and web addresses handed to the desktop's "open"
// action. A target is opened only when it is an http(s) address or an existing file named
// by a full path, and never when it holds characters a shell would read as syntax.

#include <string_view>

namespace frontend_links {

// True when the target may be opened; otherwise the reason is logged.
bool IsOpenableTarget(std::string_view target);
// Opens a target that IsOpenableTarget accepts; false when it was refused or failed.
bool Open(std::string_view target);

void OpenAffiliateLink();
void OpenHighScoreLink();
void OpenLocalLink(std::string_view argument);
void OpenWebLink(std::string_view argument);

}  // namespace frontend_links
