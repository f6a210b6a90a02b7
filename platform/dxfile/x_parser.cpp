#include "platform/dxfile/x_parser.h"

#include <strings.h>

#include <algorithm>

#include "platform/dxfile/dxfile.h"

namespace dxfile {
namespace {

// Frame hierarchies of real skeletons are a few dozen deep; this only stops hostile nesting.
constexpr int kMaxDepth = 200;

bool IsKeyword(const Token& token, const char* keyword) {
    return token.kind == TokenKind::Name && strcasecmp(token.text.c_str(), keyword) == 0;
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
    const int order = strncasecmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return order != 0 ? order < 0 : a.size() < b.size();
}

HRESULT XParser::Parse(XObjectList& topLevel) {
    for (;;) {
        const Token token = m_tokens.Next();
        HRESULT result = DXFILE_OK;
        switch (token.kind) {
            case TokenKind::End:
                return DXFILE_OK;
            case TokenKind::Name:
                result =
                    IsKeyword(token, "template") ? ParseTemplate() : ParseObject(token.text, 0, &topLevel);
                break;
            case TokenKind::OpenBrace:
                result = ParseReference(nullptr);
                break;
            case TokenKind::Error:
            case TokenKind::CloseBrace:
                return DXFILEERR_PARSEERROR;
            default:
                break;
        }
        if (result != DXFILE_OK) {
            return result;
        }
    }
}

// Members and restrictions are not needed to read the known types: they are checked for
// balance and skipped.
HRESULT XParser::ParseTemplate() {
    const Token name = m_tokens.Next();
    if (name.kind != TokenKind::Name || m_tokens.Next().kind != TokenKind::OpenBrace) {
        return DXFILEERR_PARSEERROR;
    }
    for (int open = 1; open > 0;) {
        const Token token = m_tokens.Next();
        if (token.kind == TokenKind::End || token.kind == TokenKind::Error) {
            return DXFILEERR_PARSEERROR;
        }
        open += token.kind == TokenKind::OpenBrace ? 1 : token.kind == TokenKind::CloseBrace ? -1 : 0;
    }
    m_templates.insert(name.text);
    return DXFILE_OK;
}

HRESULT XParser::ParseObject(const std::string& type, int depth, XObjectList* parentChildren) {
    if (depth > kMaxDepth) {
        return DXFILEERR_PARSEERROR;
    }
    Token token = m_tokens.Next();
    std::string name;
    // Exporters name objects "01" too: in text a number right after the type is its name.
    const bool numericName =
        (token.kind == TokenKind::Integer || token.kind == TokenKind::Float) && !token.text.empty();
    if (token.kind == TokenKind::Name || numericName) {
        name = token.text;
        token = m_tokens.Next();
    }
    if (token.kind == TokenKind::Guid) {
        token = m_tokens.Next();
    }
    if (token.kind != TokenKind::OpenBrace) {
        return DXFILEERR_PARSEERROR;
    }
    std::optional<XDataType> keptType = parentChildren != nullptr ? KnownDataType(type) : std::nullopt;
    if (keptType && m_templates.find(type) == m_templates.end()) {
        return DXFILEERR_NOTEMPLATE;
    }
    XRawValues values;
    XObjectList children;
    const HRESULT result = ParseBody(keptType, depth, values, keptType ? &children : nullptr);
    if (result != DXFILE_OK || !keptType) {
        return result;
    }
    std::shared_ptr<XDataObject> object = BuildDataObject(*keptType, name, values);
    if (!object) {
        return DXFILEERR_BADVALUE;
    }
    object->children = std::move(children);
    if (!name.empty()) {
        m_named[name] = object;
    }
    parentChildren->push_back(std::move(object));
    return DXFILE_OK;
}

HRESULT XParser::ParseBody(std::optional<XDataType> keptType, int depth, XRawValues& values,
                           XObjectList* children) {
    for (;;) {
        Token token = m_tokens.Next();
        HRESULT result = DXFILE_OK;
        switch (token.kind) {
            case TokenKind::End:
            case TokenKind::Error:
                return DXFILEERR_PARSEERROR;
            case TokenKind::CloseBrace:
                return DXFILE_OK;
            case TokenKind::Integer:
            case TokenKind::Float:
                if (keptType) {
                    values.numbers.push_back(token.number);
                }
                break;
            case TokenKind::String:
                if (keptType) {
                    values.strings.push_back(std::move(token.text));
                }
                break;
            case TokenKind::Name:
                result = ParseObject(token.text, depth + 1, children);
                break;
            case TokenKind::OpenBrace:
                result = ParseReference(children);
                break;
            default:
                break;
        }
        if (result != DXFILE_OK) {
            return result;
        }
    }
}

// "{ name }", "{ name <guid> }" or "{ <guid> }": the named object, when the reader kept it.
HRESULT XParser::ParseReference(XObjectList* children) {
    std::string name;
    for (;;) {
        const Token token = m_tokens.Next();
        if (token.kind == TokenKind::CloseBrace) {
            break;
        }
        if (token.kind == TokenKind::Name && name.empty()) {
            name = token.text;
        } else if (token.kind != TokenKind::Guid && token.kind != TokenKind::Separator) {
            return DXFILEERR_PARSEERROR;
        }
    }
    if (children == nullptr) {
        return DXFILE_OK;
    }
    const auto found = m_named.find(name);
    if (found != m_named.end()) {
        children->push_back(found->second);
    }
    return DXFILE_OK;
}

}  // namespace dxfile
