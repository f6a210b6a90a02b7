#include "tools/xml_tool/text_xml.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <utility>

#include "resource/xml_bml_converter.h"
#include "tools/xml_tool/latin1_text.h"

namespace zumbo::tools {

namespace {

struct PendingElement {
    pugi::xml_node source;
    enXml* target;
    int depth;
};

bool IsNameStart(unsigned char c) {
    return std::isalpha(c) || c == '_' || c == ':' || c >= 0x80;
}

bool IsNameCharacter(unsigned char c) {
    return IsNameStart(c) || std::isdigit(c) || c == '-' || c == '.';
}

bool IsXmlName(const std::string& name) {
    if (name.empty() || !IsNameStart(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    for (const char c : name) {
        if (!IsNameCharacter(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// XML 1.0 allows no control characters but tab, line feed and carriage return.
bool IsXmlText(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
            return false;
        }
    }
    return true;
}

pugi::xml_node FindRoot(const pugi::xml_document& document, std::string& problem) {
    pugi::xml_node root;
    for (pugi::xml_node node : document.children()) {
        if (node.type() == pugi::node_element) {
            if (root) {
                problem = "more than one root element";
                return {};
            }
            root = node;
        } else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            problem = "text outside the root element";
            return {};
        }
    }
    if (!root && problem.empty()) {
        problem = "no root element";
    }
    return root;
}

// The line of the text at which a node starts, counted from 1.
int LineOf(const std::vector<std::uint8_t>& text, const pugi::xml_node& node) {
    const std::ptrdiff_t offset = node.offset_debug();
    const std::size_t end = offset < 0 ? 0 : std::min(text.size(), static_cast<std::size_t>(offset));
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

// Latin-1 of a name or value of the element; a failure names the element's line.
bool ToLatin1(const std::vector<std::uint8_t>& text, const pugi::xml_node& element, const char* utf8,
              std::string& latin1, std::string& problem) {
    if (Utf8ToLatin1(utf8, latin1, problem)) {
        return true;
    }
    problem = "line " + std::to_string(LineOf(text, element)) + ": " + problem;
    return false;
}

// Copies one element's attributes and queues its child elements.
bool CopyElement(const std::vector<std::uint8_t>& text, const PendingElement& element,
                 std::vector<PendingElement>& pending, std::string& problem) {
    std::string name, value;
    for (pugi::xml_attribute attribute : element.source.attributes()) {
        if (!ToLatin1(text, element.source, attribute.name(), name, problem) ||
            !ToLatin1(text, element.source, attribute.value(), value, problem)) {
            return false;
        }
        element.target->AddAttribute(name, value);
    }
    for (pugi::xml_node child : element.source.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            problem = std::string("text content inside element \"") + element.source.name() + "\"";
            return false;
        }
        if (child.type() != pugi::node_element) {
            continue;
        }
        if (element.depth + 1 > CXmlBmlConverter::kMaxDepth) {
            problem = "elements nest deeper than " + std::to_string(CXmlBmlConverter::kMaxDepth) + " levels";
            return false;
        }
        if (!ToLatin1(text, child, child.name(), name, problem)) {
            return false;
        }
        pending.push_back({child, element.target->AddNewChild(name), element.depth + 1});
    }
    return true;
}

bool FormatElement(const enXml& node, pugi::xml_node target, std::string& problem) {
    const std::string& name = node.GetName()->Text();
    if (!IsXmlName(name)) {
        problem = "the element name \"" + name + "\" is not an XML name";
        return false;
    }
    target.set_name(Latin1ToUtf8(name).c_str());
    for (const enXmlAttribute& attribute : node.Attributes()) {
        if (!IsXmlName(attribute.name->Text()) || !IsXmlText(attribute.value)) {
            problem = "the attribute \"" + attribute.name->Text() + "\" of element \"" + name +
                      "\" cannot be written as XML";
            return false;
        }
        target.append_attribute(Latin1ToUtf8(attribute.name->Text()).c_str())
            .set_value(Latin1ToUtf8(attribute.value).c_str());
    }
    for (const enXml* child = node.FirstChild(); child; child = child->NextSibling()) {
        if (!FormatElement(*child, target.append_child(pugi::node_element), problem)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::unique_ptr<enXml> ParseTextXml(const std::vector<std::uint8_t>& text, std::string& problem) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        problem =
            std::string("not XML: ") + parsed.description() + " at byte " + std::to_string(parsed.offset);
        return nullptr;
    }
    const pugi::xml_node source = FindRoot(document, problem);
    if (!source) {
        return nullptr;
    }
    std::string rootName;
    if (!ToLatin1(text, source, source.name(), rootName, problem)) {
        return nullptr;
    }
    auto root = std::make_unique<enXml>(rootName);
    // Walked with an explicit list, so that deep input cannot exhaust the stack.
    std::vector<PendingElement> pending{{source, root.get(), 0}};
    while (!pending.empty()) {
        const PendingElement element = pending.back();
        pending.pop_back();
        if (!CopyElement(text, element, pending, problem)) {
            return nullptr;
        }
    }
    return root;
}

bool FormatTextXml(const enXml& root, std::string& text, std::string& problem) {
    pugi::xml_document document;
    if (!FormatElement(root, document.append_child(pugi::node_element), problem)) {
        return false;
    }
    std::ostringstream out;
    document.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
    text = out.str();
    return true;
}

}  // namespace zumbo::tools
