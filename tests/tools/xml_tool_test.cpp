#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "resource/xml_bml_converter.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/tool_run.h"

namespace {

namespace fs = std::filesystem;
using zumbo::test::RunTool;

std::string Read(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class XmlToolTest : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const std::string& text) { return m_temp.Write(name, text); }
    fs::path Path(const std::string& name) const { return m_temp.Path() / name; }

    // Runs a conversion that must fail: the message names the input and the problem, and no
    // output file appears.
    void ExpectRefused(const char* command, const fs::path& input, const std::string& problem) {
        const fs::path output = Path("refused.out");
        const auto result = RunTool("zumbo-xml", {command, input.string(), output.string()});
        EXPECT_NE(result.exitCode, 0);
        EXPECT_NE(result.err.find(input.string()), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(problem), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(output));
        for (const auto& entry : fs::directory_iterator(m_temp.Path())) {
            EXPECT_EQ(entry.path(), input) << "left behind";
        }
    }

    zumbo::test::TempDir m_temp;
};

const char* const kSample = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- the cave scene -->
<Entity Name="entity" Class="CEntity">
  <?editor keep-open?>
  <Model FileName="Models\Rock.x" Caption="a &lt; b &amp; &quot;c&quot; &#228;"/>
  <fSpeed Value="0.50"/>
  <dwColor Value="0x00FF80"/>
  <p3Position Value="1,2.5,-3"/>
  <b3BBox Value="-1,-1,-1,1,1,1"/>
  <bVisible Value="FALSE"/>
  <iCount Value="+7"/>
  <sTitle Value="Zumbo" Lang="en"/>
  <AIList>
    <AI Name="CAIMoveByVector"><SubEntity/></AI>
  </AIList>
</Entity>
)";

TEST_F(XmlToolTest, ARoundTripKeepsEveryElementAttributeAndValue) {
    const fs::path lbm = Path("scene.lbm");
    const fs::path xml = Path("back.xml");
    ASSERT_EQ(RunTool("zumbo-xml", {"to-lbm", Write("scene.xml", kSample).string(), lbm.string()}).exitCode,
              0);
    ASSERT_EQ(RunTool("zumbo-xml", {"to-xml", lbm.string(), xml.string()}).exitCode, 0);
    EXPECT_EQ(Read(xml), R"(<?xml version="1.0"?>
<Entity Name="entity" Class="CEntity">
  <Model FileName="Models\Rock.x" Caption="a &lt; b &amp; &quot;c&quot; )"
                         "\xC3\xA4"
                         R"(" />
  <fSpeed Value="0.5" />
  <dwColor Value="ff80" />
  <p3Position Value="1,2.5,-3" />
  <b3BBox Value="-1,-1,-1,1,1,1" />
  <bVisible Value="false" />
  <iCount Value="7" />
  <sTitle Value="Zumbo" Lang="en" />
  <AIList>
    <AI Name="CAIMoveByVector">
      <SubEntity />
    </AI>
  </AIList>
</Entity>
)");
    // The text the tool writes converts to the same bytes again.
    const fs::path again = Path("again.lbm");
    ASSERT_EQ(RunTool("zumbo-xml", {"to-lbm", xml.string(), again.string()}).exitCode, 0);
    EXPECT_EQ(Read(again), Read(lbm));
}

TEST_F(XmlToolTest, TheBinaryFormIsWhatTheEngineReads) {
    const fs::path lbm = Path("scene.lbm");
    ASSERT_EQ(RunTool("zumbo-xml", {"to-lbm", Write("scene.xml", kSample).string(), lbm.string()}).exitCode,
              0);
    const std::string bytes = Read(lbm);
    std::unique_ptr<enXml> root = CXmlBmlConverter::FromBinary(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetRootName(), "entity");
    bool visible = true;
    EXPECT_TRUE(root->GetValueBool("bVisible", visible));
    EXPECT_FALSE(visible);
    EXPECT_NE(root->GetChild("AIList")->GetChild("AI")->GetChild("SubEntity"), nullptr);
}

TEST_F(XmlToolTest, InputThatTheBinaryFormCannotHoldIsRefused) {
    ExpectRefused("to-lbm", Write("broken.xml", "<Entity><Model></Entity>"), "not XML");
    fs::remove(Path("broken.xml"));
    ExpectRefused("to-lbm", Write("text.xml", "<Entity>hello</Entity>"),
                  "text content inside element \"Entity\"");
    fs::remove(Path("text.xml"));
    std::string attributes = "<Wide";
    for (int i = 0; i < 64; ++i) {
        attributes += " a" + std::to_string(i) + "=\"v\"";
    }
    ExpectRefused("to-lbm", Write("wide.xml", attributes + "/>"), "64 attributes");
    fs::remove(Path("wide.xml"));
    std::string children = "<Many>";
    for (int i = 0; i < 1024; ++i) {
        children += "<c/>";
    }
    ExpectRefused("to-lbm", Write("many.xml", children + "</Many>"), "1024 children");
    fs::remove(Path("many.xml"));
    ExpectRefused("to-lbm", Write("long.xml", "<Long Text=\"" + std::string(4096, 'x') + "\"/>"),
                  "4096 bytes");
    fs::remove(Path("long.xml"));
    std::string deep;
    for (int i = 0; i < 300; ++i) {
        deep += "<d>";
    }
    for (int i = 0; i < 300; ++i) {
        deep += "</d>";
    }
    ExpectRefused("to-lbm", Write("deep.xml", deep), "nest deeper");
}

// The binary form holds one byte per glyph: Latin-1, while text XML is UTF-8.
TEST_F(XmlToolTest, TextIsLatin1InTheBinaryFormAndUtf8InTheText) {
    enXml root("Text");
    root.AddAttribute("sCaption", "Gr\xFC\xDF \xA9\xFF\x80");
    root.AddNewChild("Caf\xE9")->AddAttribute("Value", "\xE4");
    CXmlBmlConverter converter;
    ASSERT_TRUE(converter.ToBinary(root));
    const std::string original(converter.Buffer().begin(), converter.Buffer().end());
    const fs::path lbm = Write("text.lbm", original);

    const fs::path xml = Path("text.xml");
    ASSERT_EQ(RunTool("zumbo-xml", {"to-xml", lbm.string(), xml.string()}).exitCode, 0);
    const std::string text = Read(xml);
    EXPECT_NE(text.find("sCaption=\"Gr\xC3\xBC\xC3\x9F \xC2\xA9\xC3\xBF\xC2\x80\""), std::string::npos)
        << text;
    EXPECT_NE(text.find("<Caf\xC3\xA9 Value=\"\xC3\xA4\" />"), std::string::npos) << text;

    // Both round trips give the same bytes back.
    const fs::path again = Path("again.lbm");
    ASSERT_EQ(RunTool("zumbo-xml", {"to-lbm", xml.string(), again.string()}).exitCode, 0);
    EXPECT_EQ(Read(again), original);
    const fs::path textAgain = Path("again.xml");
    ASSERT_EQ(RunTool("zumbo-xml", {"to-xml", again.string(), textAgain.string()}).exitCode, 0);
    EXPECT_EQ(Read(textAgain), text);
}

TEST_F(XmlToolTest, TextTheBinaryFormCannotHoldNamesItsLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<Text\n  a=\"x\"\n  b=\"\xE2\x82\xAC\"/>", "line 1: the character U+20AC is beyond Latin-1"},
        {"<Text>\n<Line Value=\"ok\"/>\n<Euro\xE2\x82\xAC/>\n</Text>", "line 3: the character U+20AC"},
        {"<Text>\n\n<Raw Value=\"\xE4\"/>\n</Text>", "line 3: malformed UTF-8"},
        {"<Text Value=\"\xE0\x83\xA4\"/>", "line 1: malformed UTF-8"},  // overlong
        {"<Text Value=\"\xF0\x9F\x98\x80\"/>", "the character U+1F600"},
    };
    for (const auto& [xml, problem] : cases) {
        ExpectRefused("to-lbm", Write("wide.xml", xml), problem);
        fs::remove(Path("wide.xml"));
    }
}

TEST_F(XmlToolTest, ADamagedBinaryDocumentIsRefused) {
    const fs::path lbm = Path("scene.lbm");
    ASSERT_EQ(RunTool("zumbo-xml", {"to-lbm", Write("scene.xml", kSample).string(), lbm.string()}).exitCode,
              0);
    fs::remove(Path("scene.xml"));
    std::string bytes = Read(lbm);
    bytes.back() ^= 1;
    std::ofstream(lbm, std::ios::binary) << bytes;
    ExpectRefused("to-xml", lbm, "wrong check value");
    fs::remove(lbm);
    ExpectRefused("to-xml", Path("missing.lbm"), "no such file");
}

TEST_F(XmlToolTest, BadCommandLinesPrintTheUsage) {
    EXPECT_EQ(RunTool("zumbo-xml", {}).exitCode, 2);
    const auto result = RunTool("zumbo-xml", {"to-json", "a", "b"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("to-json"), std::string::npos);
}

}  // namespace
