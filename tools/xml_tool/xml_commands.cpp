#include "tools/xml_tool/xml_commands.h"

#include "resource/xml_bml_converter.h"
#include "tools/xml_tool/text_xml.h"

namespace zumbo::tools {

bool ConvertXmlToLbm(const std::filesystem::path& input, const std::filesystem::path& output,
                     ToolError& error) {
    std::vector<std::uint8_t> text;
    if (!ReadHostFile(input, text, error)) {
        return false;
    }
    std::string problem;
    std::unique_ptr<enXml> root = ParseTextXml(text, problem);
    if (root) {
        // Checked first so that the converter never has to refuse (and log) anything.
        problem = CXmlBmlConverter::FindLimitViolation(*root).description;
    }
    if (!problem.empty()) {
        error = {input.string(), problem};
        return false;
    }
    CXmlBmlConverter converter;
    converter.ToBinary(*root);
    return WriteHostFile(output, converter.Buffer(), error);
}

bool ConvertLbmToXml(const std::filesystem::path& input, const std::filesystem::path& output,
                     ToolError& error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadHostFile(input, bytes, error)) {
        return false;
    }
    std::unique_ptr<enXml> root = CXmlBmlConverter::FromBinary(bytes);
    if (!root) {
        error = {input.string(), "damaged binary XML or wrong check value"};
        return false;
    }
    std::string text;
    std::string problem;
    if (!FormatTextXml(*root, text, problem)) {
        error = {input.string(), problem};
        return false;
    }
    return WriteHostFile(output, std::vector<std::uint8_t>(text.begin(), text.end()), error);
}

}  // namespace zumbo::tools
