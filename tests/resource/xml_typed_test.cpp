#include <gtest/gtest.h>

#include "resource/xml.h"

namespace {

TEST(XmlValueType, TheTypeFollowsThePrefixAndTheLetterAfterIt) {
    EXPECT_EQ(XmlValueTypeOf("sFontName"), XML_VALUE_STRING);
    EXPECT_EQ(XmlValueTypeOf("iDelay"), XML_VALUE_INT);
    EXPECT_EQ(XmlValueTypeOf("dwTextColor"), XML_VALUE_HEX);
    EXPECT_EQ(XmlValueTypeOf("fSpeed"), XML_VALUE_FLOAT);
    EXPECT_EQ(XmlValueTypeOf("p3Position"), XML_VALUE_VECTOR);
    EXPECT_EQ(XmlValueTypeOf("b3BBox"), XML_VALUE_BOX);
    EXPECT_EQ(XmlValueTypeOf("bValue"), XML_VALUE_BOOL);
    EXPECT_EQ(XmlValueTypeOf("bNeedsWorldBB"), XML_VALUE_BOOL);
    EXPECT_EQ(XmlValueTypeOf("bounds"), XML_VALUE_UNTYPED);
    EXPECT_EQ(XmlValueTypeOf("s"), XML_VALUE_UNTYPED);
    EXPECT_EQ(XmlValueTypeOf("SFontName"), XML_VALUE_UNTYPED);
    EXPECT_EQ(XmlValueTypeOf("dword"), XML_VALUE_UNTYPED);
    EXPECT_EQ(XmlValueTypeOf("dx"), XML_VALUE_UNTYPED);
    EXPECT_EQ(XmlValueTypeOf("p3"), XML_VALUE_UNTYPED);  // the prefix must be shorter than the name
    EXPECT_EQ(XmlValueTypeOf("b3"), XML_VALUE_BOOL);     // ...so "b" followed by '3' wins
    EXPECT_EQ(XmlValueTypeOf("s1"), XML_VALUE_STRING);
}

TEST(XmlValueText, NumbersAreWrittenInTheirShortForms) {
    EXPECT_EQ(FormatXmlFloat(0.5f), "0.5");
    EXPECT_EQ(FormatXmlFloat(1234567.0f), "1.23457e+06");
    EXPECT_EQ(FormatXmlFloat(-2.0f), "-2");
    EXPECT_EQ(FormatXmlHex(0xFF00ABu), "ff00ab");
    EXPECT_EQ(FormatXmlInt(-42), "-42");
    EXPECT_EQ(FormatXmlVector(D3DXVECTOR3(1.5f, 0, -3)), "1.5,0,-3");
    EXPECT_EQ(FormatXmlBox({D3DXVECTOR3(-1, -2, -3), D3DXVECTOR3(1, 2, 0.25f)}), "-1,-2,-3,1,2,0.25");
    EXPECT_EQ(FormatXmlBool(true), "true");
    EXPECT_EQ(FormatXmlBool(false), "false");
}

TEST(XmlValueText, ReadingIsLenientLikeTheCLibrary) {
    EXPECT_EQ(ParseXmlInt("  -12abc"), -12);
    EXPECT_EQ(ParseXmlInt("+7"), 7);
    EXPECT_EQ(ParseXmlInt("abc"), 0);
    EXPECT_EQ(ParseXmlInt("2.9"), 2);
    EXPECT_EQ(ParseXmlInt("99999999999"), INT32_MAX);
    EXPECT_EQ(ParseXmlInt("-99999999999"), INT32_MIN);
    std::uint32_t hex = 5;
    ParseXmlHex("0x1F", hex);
    EXPECT_EQ(hex, 0x1Fu);
    ParseXmlHex("FFFFFFFF", hex);
    EXPECT_EQ(hex, 0xFFFFFFFFu);
    ParseXmlHex("zz", hex);
    EXPECT_EQ(hex, 0xFFFFFFFFu);  // no digits: untouched
    EXPECT_FLOAT_EQ(ParseXmlFloat(" 2.5e1x"), 25.0f);
    EXPECT_EQ(ParseXmlFloat("x"), 0.0f);
}

TEST(XmlValueText, VectorsAndBoxesKeepTheComponentsThatDoNotParse) {
    D3DXVECTOR3 v(7, 8, 9);
    ParseXmlVector("1,2", v);
    EXPECT_EQ(v, D3DXVECTOR3(1, 2, 9));
    ParseXmlVector("4 ,5,6", v);  // the comma must follow the number directly
    EXPECT_EQ(v, D3DXVECTOR3(4, 2, 9));
    ParseXmlVector("1, 2, 3", v);  // blanks before a number are fine
    EXPECT_EQ(v, D3DXVECTOR3(1, 2, 3));
    tXmlBox box{D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(2, 2, 2)};
    ParseXmlBox("-1,-1,-1,5", box);
    EXPECT_EQ(box.first, D3DXVECTOR3(-1, -1, -1));
    EXPECT_EQ(box.second, D3DXVECTOR3(5, 2, 2));
}

TEST(XmlValueText, OnlyFalseInAnyCaseIsFalse) {
    EXPECT_FALSE(ParseXmlBool("false"));
    EXPECT_FALSE(ParseXmlBool("FaLsE"));
    EXPECT_TRUE(ParseXmlBool("false "));
    EXPECT_TRUE(ParseXmlBool("0"));
    EXPECT_TRUE(ParseXmlBool("no"));
    EXPECT_TRUE(ParseXmlBool(""));
}

TEST(EnXmlTypedValues, GettersLeaveTheOutputUntouchedWhenTheValueIsMissing) {
    enXml node("Entity");
    node.AddNewChild("fSpeed");  // a child without "Value"
    float speed = 3.0f;
    EXPECT_FALSE(node.GetValueFloat("fSpeed", speed));
    EXPECT_FALSE(node.GetValueFloat("fMissing", speed));
    EXPECT_EQ(speed, 3.0f);
    bool visible = true;
    EXPECT_FALSE(node.GetValueBool("bVisible", visible));
    EXPECT_TRUE(visible);
    EXPECT_TRUE(node.GetValueBoolOr("bVisible", true));
    EXPECT_FALSE(node.GetValueBoolOr("bVisible", false));
    tXmlBox box{};
    EXPECT_FALSE(node.GetAttributeBox("b3BBox", box));
}

TEST(EnXmlTypedValues, ChildSettersCreateTheChildOnceAndReplaceItsValue) {
    enXml node("Entity");
    node.AddNewChild("Model");
    node.SetValueFloat("fSpeed", 0.5f);
    node.SetValueFloat("FSPEED", 1234567.0f);
    node.SetValueInt("iDelay", -3);
    ASSERT_EQ(node.LastChild()->GetName()->Text(), "iDelay");
    const enXml* speed = node.GetChild("fSpeed");
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->NextSibling(), node.LastChild());
    ASSERT_EQ(speed->Attributes().size(), 1u);
    EXPECT_EQ(speed->Attributes()[0].value, "1.23457e+06");
    std::int32_t delay = 0;
    EXPECT_TRUE(node.GetValueInt("idelay", delay));
    EXPECT_EQ(delay, -3);
}

TEST(EnXmlTypedValues, EveryTypeReadsBackWhatItsSetterWrote) {
    enXml node("Options");
    node.SetValueString("sName", "Zumbo");
    node.SetValueHex("dwColor", 0x80FF00FFu);
    node.SetValueVector("p3Light", D3DXVECTOR3(-1, -1, -0.5f));
    node.SetValueBool("bMute", false);
    std::string name;
    std::uint32_t color = 0;
    D3DXVECTOR3 light;
    bool mute = true;
    EXPECT_TRUE(node.GetValueString("sName", name));
    EXPECT_TRUE(node.GetValueHex("dwColor", color));
    EXPECT_TRUE(node.GetValueVector("p3Light", light));
    EXPECT_TRUE(node.GetValueBool("bMute", mute));
    EXPECT_EQ(name, "Zumbo");
    EXPECT_EQ(color, 0x80FF00FFu);
    EXPECT_EQ(light, D3DXVECTOR3(-1, -1, -0.5f));
    EXPECT_FALSE(mute);
    EXPECT_EQ(node.GetChild("dwColor")->FindAttribute("Value")->value, "80ff00ff");
    // Boxes have no child setter; a "Value" child written another way reads back.
    node.AddNewChild("b3BBox")->SetAttributeString("Value", "1,2,3,4,5");
    tXmlBox box{D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(9, 9, 9)};
    EXPECT_TRUE(node.GetValueBox("b3bbox", box));
    EXPECT_EQ(box.first, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(box.second, D3DXVECTOR3(4, 5, 9));
}

TEST(EnXmlTypedValues, AttributeSettersReplaceTheFirstMatchOrAppend) {
    enXml node("Metrics");
    node.AddAttribute("Time", "1");
    node.AddAttribute("time", "2");
    node.SetAttributeInt("TIME", 7);
    node.SetAttributeBox("b3BBox", {D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 2, 3)});
    ASSERT_EQ(node.Attributes().size(), 3u);
    EXPECT_EQ(node.Attributes()[0].value, "7");
    EXPECT_EQ(node.Attributes()[1].value, "2");
    EXPECT_EQ(node.Attributes()[2].value, "0,0,0,1,2,3");
    std::int32_t time = 0;
    float asFloat = 0;
    tXmlBox box{};
    EXPECT_TRUE(node.GetAttributeInt("time", time));
    EXPECT_TRUE(node.GetAttributeFloat("Time", asFloat));
    EXPECT_TRUE(node.GetAttributeBox("B3BBOX", box));
    EXPECT_EQ(time, 7);
    EXPECT_EQ(asFloat, 7.0f);
    EXPECT_EQ(box.second, D3DXVECTOR3(1, 2, 3));
    EXPECT_TRUE(node.FirstChild() == nullptr);
}

}  // namespace
