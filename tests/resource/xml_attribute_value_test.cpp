#include "resource/xml_attribute_value.h"

#include <gtest/gtest.h>

#include "resource/xml_arena.h"

namespace {

TEST(XmlAttributeValue, TextsOfAnyLengthReadBackAndSurviveBeingAssignedTheirOwnParts) {
    const std::string inlineLimit(23, 'a');
    const std::string pastInline = std::string(24, 'b');
    enXmlValue value;
    EXPECT_EQ(value, "");
    EXPECT_STREQ(value.c_str(), "");
    value = inlineLimit;
    EXPECT_EQ(value, inlineLimit);
    value = pastInline;
    EXPECT_EQ(value, pastInline);
    EXPECT_EQ(value.size(), 24u);
    // A view of the value's own text, once inline and once out of line.
    value = value.View().substr(1, 20);
    EXPECT_EQ(value, std::string(20, 'b'));
    value = "0123456789012345678901234567890123456789";
    value = value.View().substr(5);
    EXPECT_EQ(value, "56789012345678901234567890123456789");
    EXPECT_EQ(std::string("<") + value, "<56789012345678901234567890123456789");
}

TEST(XmlAttributeValue, NumbersMakeTheirTextOnlyInTheWrittenForm) {
    enXmlValue value;
    value.SetFloat(1234567.0f);
    EXPECT_EQ(value.Type(), XML_VALUE_FLOAT);
    EXPECT_EQ(value, "1.23457e+06");
    value.SetHex(0x80FF00FFu);
    EXPECT_EQ(value, "80ff00ff");
    value.SetInt(-2147483647 - 1);
    EXPECT_EQ(value, "-2147483648");
    value.SetBool(false);
    EXPECT_EQ(value, "false");
    value.SetVector(D3DXVECTOR3(1.5f, 0.0f, -3.0f));
    EXPECT_EQ(value, "1.5,0,-3");
    value.SetBox({D3DXVECTOR3(-1, -2, -3), D3DXVECTOR3(1, 2, 0.25f)});
    EXPECT_EQ(value, "-1,-2,-3,1,2,0.25");
    value = "plain";
    EXPECT_EQ(value.Type(), XML_VALUE_UNTYPED);
    EXPECT_EQ(value, "plain");
}

TEST(XmlAttributeValue, ReadsAnswerAsTheTextWouldRead) {
    enXmlValue value;
    // A float keeps six significant digits, as its text does.
    value.SetFloat(0.1234567f);
    EXPECT_EQ(value.ReadFloat(), 0.123457f);
    EXPECT_EQ(value.ReadFloat(), 0.123457f);
    EXPECT_EQ(value, "0.123457");
    value.SetVector(D3DXVECTOR3(1.0f / 3.0f, 2.0f, 7654321.0f));
    D3DXVECTOR3 vector;
    value.ReadVector(vector);
    EXPECT_EQ(vector.x, 0.333333f);
    EXPECT_EQ(vector.z, 7654320.0f);
    // Reads of another type go through the text: "2.75" as an integer, "true" as an integer,
    // "-17" as hexadecimal (negated, modulo 2 to the 32nd).
    value.SetFloat(2.75f);
    EXPECT_EQ(value.ReadInt(), 2);
    value.SetBool(true);
    EXPECT_EQ(value.ReadInt(), 0);
    EXPECT_TRUE(value.ReadBool());
    value.SetInt(-17);
    std::uint32_t word = 0;
    value.ReadHex(word);
    EXPECT_EQ(word, 0xFFFFFFE9u);
    value = "FALSE";
    EXPECT_FALSE(value.ReadBool());
}

TEST(XmlAttributeValue, ACopyOfAnArenaValueOutlivesTheArena) {
    CXmlArena* arena = CXmlArena::Create();
    auto* inArena = new (arena->Allocate(sizeof(enXmlValue), alignof(enXmlValue))) enXmlValue(arena);
    *inArena = "a text that is kept in the arena of its document";
    enXmlValue text(*inArena);
    inArena->SetFloat(0.5f);
    enXmlValue number(*inArena);
    arena->Release();
    EXPECT_EQ(text, "a text that is kept in the arena of its document");
    EXPECT_EQ(number, "0.5");
    EXPECT_EQ(number.ReadFloat(), 0.5f);
}

}  // namespace
