#pragma once
// Text XML (UTF-8) to and from XML nodes (Latin-1), through pugixml. Comments, processing instructions
// and the declaration are ignored; text content inside elements is refused, since the binary
// form has no place for it.

#include <memory>
#include <string>
#include <vector>

#include "resource/xml.h"

namespace zumbo::tools {

// The document's root element, or null with the problem described.
std::unique_ptr<enXml> ParseTextXml(const std::vector<std::uint8_t>& text, std::string& problem);

// Indented text XML; fails when a name or value cannot be written as XML.
bool FormatTextXml(const enXml& root, std::string& text, std::string& problem);

}  // namespace zumbo::tools
