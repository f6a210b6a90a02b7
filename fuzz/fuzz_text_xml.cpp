// Text XML reader of the data tools: arbitrary bytes as a text document. A document that reads
// must write as text and read back to the same binary form (UTF-8 to Latin-1 and back).
#include <cstdint>
#include <string>
#include <vector>

#include "resource/xml_bml_converter.h"
#include "tools/xml_tool/text_xml.h"

namespace {
std::vector<std::uint8_t> Binary(const enXml& root) {
    CXmlBmlConverter converter;
    if (!converter.ToBinary(root)) {
        return {};
    }
    return converter.Buffer();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string problem;
    std::unique_ptr<enXml> root = zumbo::tools::ParseTextXml({data, data + size}, problem);
    if (!root || !CXmlBmlConverter::FindLimitViolation(*root).description.empty()) {
        return 0;
    }
    std::string text;
    if (!zumbo::tools::FormatTextXml(*root, text, problem)) {
        return 0;
    }
    std::unique_ptr<enXml> again = zumbo::tools::ParseTextXml({text.begin(), text.end()}, problem);
    if (!again || Binary(*again) != Binary(*root)) {
        __builtin_trap();
    }
    return 0;
}
