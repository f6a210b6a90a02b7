#include "frontend/frontend_links.h"

#include "app/debug_log.h"
#include "platform/win32/process.h"
#include "platform/win32/profile.h"
#include "resource/name_atom.h"
#include "resource/paths.h"
#include "resource/xml.h"

namespace frontend_links {

namespace {

// The Internet shortcut format keeps at most this many characters of the address.
constexpr std::size_t kMaxUrlLength = 260;

// Quotes, substitutions, separators and redirections: a target holding one of them is
// refused outright, whatever opens it.
bool HoldsShellSyntax(std::string_view target) {
    for (const char c : target) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::string_view("`$;|<>\"'").find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// http:// or https:// with something after it and no blank inside.
bool IsWebAddress(std::string_view target) {
    std::string_view rest;
    if (StartsWithIgnoringCase(target, "http://")) {
        rest = target.substr(7);
    } else if (StartsWithIgnoringCase(target, "https://")) {
        rest = target.substr(8);
    } else {
        return false;
    }
    return !rest.empty() && rest.find(' ') == std::string_view::npos;
}

// A full path (with its drive) to something that exists.
bool IsExistingLocalFile(std::string_view target) {
    return target.size() > 2 && target[1] == ':' && FileExists(target);
}

}  // namespace

bool IsOpenableTarget(std::string_view target) {
    const std::string text(target);
    if (HoldsShellSyntax(target)) {
        CDebugLog::Instance().LogLevel(1, "Error! Link \"%s\" holds shell syntax and is not opened.",
                                       text.c_str());
        return false;
    }
    if (!IsWebAddress(target) && !IsExistingLocalFile(target)) {
        CDebugLog::Instance().LogLevel(
            1, "Error! Link \"%s\" is neither a web address nor an existing file and is not opened.",
            text.c_str());
        return false;
    }
    return true;
}

bool Open(std::string_view target) {
    if (!IsOpenableTarget(target)) {
        return false;
    }
    if (!win32::ShellExecuteOpen(target)) {
        const std::string text(target);
        CDebugLog::Instance().LogLevel(1, "Error! Failed to open link \"%s\".", text.c_str());
        return false;
    }
    return true;
}

void OpenAffiliateLink() {
    const std::string path = GetProgramFolder() + "register.url";
    if (!FileExists(path)) {
        CDebugLog::Instance().LogLevel(1,
                                       "Error! Failed to open affiliate link: register.url was not found.");
        return;
    }
    std::string url = win32::GetPrivateProfileString("InternetShortcut", "URL", "", path);
    if (url.size() > kMaxUrlLength) {
        url.resize(kMaxUrlLength);
    }
    if (url.empty()) {
        CDebugLog::Instance().LogLevel(
            1, "Error! Failed to open affiliate link: register.url has wrong format or URL is empty.");
        return;
    }
    Open(url);
}

void OpenHighScoreLink() {
    enXml document;
    std::string link;
    if (document.Load(GetProgramFolder() + "Affiliate.xml") &&
        document.GetValueString("HighScoreLink", link)) {
        Open(link);
    }
}

void OpenLocalLink(std::string_view argument) {
    Open(MakeFullPath(argument));
}

void OpenWebLink(std::string_view argument) {
    Open(argument);
}

}  // namespace frontend_links
