#pragma once
// Reads the token stream of one file: template declarations are registered, data objects of
// the known types become typed objects (with their known children and resolved references),
// every other data object is skipped with everything inside it.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/dxfile/x_objects.h"
#include "platform/dxfile/x_token.h"
#include "platform/win32/types.h"

namespace dxfile {

using XObjectList = std::vector<std::shared_ptr<const XDataObject>>;

class XParser {
public:
    XParser(TokenSource& tokens, std::set<std::string, std::less<>>& templates)
        : m_tokens(tokens), m_templates(templates) {}

    HRESULT Parse(XObjectList& topLevel);

private:
    HRESULT ParseTemplate();
    HRESULT ParseObject(const std::string& type, int depth, XObjectList* parentChildren);
    HRESULT ParseBody(std::optional<XDataType> keptType, int depth, XRawValues& values,
                      XObjectList* children);
    HRESULT ParseReference(XObjectList* children);

    TokenSource& m_tokens;
    std::set<std::string, std::less<>>& m_templates;
    std::map<std::string, std::shared_ptr<const XDataObject>, std::less<>> m_named;
};

}  // namespace dxfile
