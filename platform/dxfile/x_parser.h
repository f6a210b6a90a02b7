#pragma once
// Reads the token stream of one file: template declarations are registered, data objects of
// the known types become typed objects (with their known children and resolved references),
// every other data object is skipped with everything inside it.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dxfile/x_objects.h"
#include "platform/dxfile/x_token.h"
#include "platform/win32/types.h"

namespace dxfile {

using XObjectList = std::vector<std::shared_ptr<const XDataObject>>;

// Template names compare without regard to case: exporters write "TextureFileName" for the
// standard "TextureFilename".
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};
using TemplateNames = std::set<std::string, CaseInsensitiveLess>;

class XParser {
public:
    XParser(TokenSource& tokens, TemplateNames& templates) : m_tokens(tokens), m_templates(templates) {}

    HRESULT Parse(XObjectList& topLevel);

private:
    HRESULT ParseTemplate();
    HRESULT ParseObject(const std::string& type, int depth, XObjectList* parentChildren);
    HRESULT ParseBody(std::optional<XDataType> keptType, int depth, XRawValues& values,
                      XObjectList* children);
    HRESULT ParseReference(XObjectList* children);

    TokenSource& m_tokens;
    TemplateNames& m_templates;
    std::map<std::string, std::shared_ptr<const XDataObject>, std::less<>> m_named;
};

}  // namespace dxfile
