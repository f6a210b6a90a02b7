#include "resource/xml_bml_converter.h"

#include <gtest/gtest.h>

#include "tests/support/log_capture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Names, attributes and children of the whole subtree, in order.
std::string Dump(const enXml& node) {
    std::string text = "<" + node.GetName()->Text();
    for (const enXmlAttribute& attribute : node.Attributes()) {
        text += " " + attribute.name->Text() + "=" + attribute.value;
    }
    text += ">";
    for (const enXml* child = node.FirstChild(); child; child = child->NextSibling()) {
        text += Dump(*child);
    }
    return text + "</>";
}

Bytes Encode(const enXml& node) {
    CXmlBmlConverter converter;
    EXPECT_TRUE(converter.ToBinary(node));
    return converter.Buffer();
}

std::unique_ptr<enXml> RoundTrip(const enXml& node) {
    return CXmlBmlConverter::FromBinary(Encode(node));
}

Bytes WithCheckValue(Bytes body) {
    const auto [first, second] = CXmlBmlConverter::CheckValue(body);
    for (const std::uint32_t word : {first, second}) {
        for (int shift = 0; shift < 32; shift += 8) {
            body.push_back(static_cast<std::uint8_t>(word >> shift));
        }
    }
    return body;
}

std::string ValueOf(const enXml& node, const char* child) {
    return node.GetChild(child)->FindAttribute("Value")->value;
}

TEST(BmlConverter, ARoundTripKeepsElementsAttributesAndValues) {
    enXml root("Entity");
    root.AddAttribute("Name", "water");
    root.AddAttribute("Comment", "");
    enXml* list = root.AddNewChild("AIList");
    enXml* ai = list->AddNewChild("AI");
    ai->AddAttribute("Name", "CAIMoveByVector");
    ai->SetValueString("sTarget", "Mouse Cursor");
    ai->SetValueInt("iDelay", -17);
    ai->SetValueHex("dwColor", 0xFF8000u);
    ai->SetValueFloat("fSpeed", 2.25f);
    ai->SetValueVector("p3Direction", D3DXVECTOR3(0, 1, -0.5f));
    ai->AddNewChild("b3BBox")->SetAttributeBox("Value", {D3DXVECTOR3(-1, -2, -3), D3DXVECTOR3(4, 5, 6)});
    ai->SetValueBool("bVisible", false);
    root.AddNewChild("SubEntityList");
    std::unique_ptr<enXml> copy = RoundTrip(root);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Dump(*copy), Dump(root));
}

TEST(BmlConverter, ManyNamesTakeTheirOwnAtomsWhenTheyRecurInTurn) {
    // More names than a table of recent names holds, alternating, of lengths around eight
    // bytes and sharing their first eight bytes: each must still come back as itself.
    enXml root("Root");
    for (int round = 0; round < 3; ++round) {
        for (int index = 0; index < 300; ++index) {
            const std::string number = std::to_string(index);
            enXml* child = root.AddNewChild("Element" + number);
            child->AddAttribute("Attr" + number, number);
            child->AddAttribute("Attribute" + number, number);
        }
    }
    const std::unique_ptr<enXml> copy = RoundTrip(root);
    ASSERT_NE(copy, nullptr);
    int index = 0;
    for (const enXml* child = copy->FirstChild(); child; child = child->NextSibling(), ++index) {
        const std::string number = std::to_string(index % 300);
        ASSERT_EQ(child->GetName(), InternName("Element" + number));
        ASSERT_EQ(child->Attributes()[0].name, InternName("Attr" + number));
        ASSERT_EQ(child->Attributes()[1].name, InternName("Attribute" + number));
    }
    EXPECT_EQ(index, 900);
}

TEST(BmlConverter, TypedValuesComeBackInTheirWrittenForm) {
    enXml root("Model");
    root.AddNewChild("fScale")->AddAttribute("Value", "0.50");
    root.AddNewChild("fPrecise")->AddAttribute("Value", "3.14159265");
    root.AddNewChild("dwColor")->AddAttribute("Value", "0x00FF");
    root.AddNewChild("iCount")->AddAttribute("Value", "12 apples");
    root.AddNewChild("bOn")->AddAttribute("Value", "no");
    root.AddNewChild("p3Short")->AddAttribute("Value", "1,2");
    std::unique_ptr<enXml> copy = RoundTrip(root);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(ValueOf(*copy, "fScale"), "0.5");
    EXPECT_EQ(ValueOf(*copy, "fPrecise"), "3.14159");
    EXPECT_EQ(ValueOf(*copy, "dwColor"), "ff");
    EXPECT_EQ(ValueOf(*copy, "iCount"), "12");
    EXPECT_EQ(ValueOf(*copy, "bOn"), "true");
    EXPECT_EQ(ValueOf(*copy, "p3Short"), "1,2,0");
}

TEST(BmlConverter, OnlyExactValueElementsAreStoredAsValues) {
    enXml root("Root");
    enXml* twoAttributes = root.AddNewChild("sTitle");
    twoAttributes->AddAttribute("Value", "0.50");
    twoAttributes->AddAttribute("Lang", "en");
    enXml* withChild = root.AddNewChild("fSpeed");
    withChild->AddAttribute("Value", "0.50");
    withChild->AddNewChild("Note");
    root.AddNewChild("bounds")->AddAttribute("Value", "0.50");
    std::unique_ptr<enXml> copy = RoundTrip(root);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Dump(*copy), Dump(root));
    // "Value" is recognised in any case; a value element always reads back as "Value".
    root.AddNewChild("fLower")->AddAttribute("value", "0.50");
    copy = RoundTrip(root);
    EXPECT_EQ(Dump(*copy->GetChild("fLower")), "<fLower Value=0.5></>");
}

TEST(BmlConverter, TheDictionaryIsUsedForExactMatchesOnly) {
    enXml root("entity");
    root.AddAttribute("name", "Entity");
    root.AddAttribute("Name", "subentity");
    root.AddNewChild("Entity")->SetValueString("sKind", "entity");
    const Bytes bytes = Encode(root);
    std::unique_ptr<enXml> copy = CXmlBmlConverter::FromBinary(bytes);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Dump(*copy), Dump(root));
    // "entity" is inline (two length bytes and six letters); "Entity" as a value is one byte.
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 6);
    EXPECT_EQ(bytes[11], 0x00);  // attribute name "name" inline
    EXPECT_EQ(bytes[12], 4);
    EXPECT_EQ(bytes[17], 0x80);  // its value "Entity" is dictionary entry 0
    EXPECT_EQ(bytes[18], 0x81);  // "Name" is dictionary entry 1
}

TEST(BmlConverter, ReadsTheDocumentedLayout) {
    // Root "SubEntityList" (entry 11) with one attribute and 300 children "AI" (entry 4),
    // each an empty element; then a value element "iX" = -2 and trailing bytes that are ignored.
    Bytes body = {0x8B, 0, 0x41, 0x2C, 0x80 | 2, 0x00, 0x01, 'x'};
    for (int i = 0; i < 299; ++i) {
        body.insert(body.end(), {0x84, 0, 0, 0});
    }
    body.insert(body.end(), {0x00, 0x02, 'i', 'X', 1, 1, 0xFE, 0xFF, 0xFF, 0xFF, 0xAA, 0xBB});
    std::unique_ptr<enXml> root = CXmlBmlConverter::FromBinary(WithCheckValue(body));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName()->Text(), "SubEntityList");
    EXPECT_EQ(root->FindAttribute("FileName")->value, "x");
    int children = 0;
    for (const enXml* child = root->FirstChild(); child; child = child->NextSibling()) {
        ++children;
    }
    EXPECT_EQ(children, 300);
    std::int32_t x = 0;
    EXPECT_TRUE(root->GetValueInt("iX", x));
    EXPECT_EQ(x, -2);
}

TEST(BmlConverter, AnUnknownKindEndsTheElementWithItsNameOnly) {
    std::unique_ptr<enXml> root = CXmlBmlConverter::FromBinary(WithCheckValue({0x83, 9, 1, 2, 3}));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Dump(*root), "<Model></>");
}

TEST(BmlConverter, AWrongCheckValueFailsEvenWhenTheRestIsIntact) {
    enXml root("Entity");
    root.SetValueFloat("fSpeed", 1.0f);
    Bytes bytes = Encode(root);
    ASSERT_NE(CXmlBmlConverter::FromBinary(bytes), nullptr);
    for (const std::size_t position : {bytes.size() - 1, bytes.size() - 8, std::size_t(0)}) {
        Bytes damaged = bytes;
        damaged[position] ^= 0x01;
        EXPECT_EQ(CXmlBmlConverter::FromBinary(damaged), nullptr) << position;
    }
    EXPECT_EQ(CXmlBmlConverter::FromBinary(Bytes(7, 0)), nullptr);
}

TEST(BmlConverter, TheCheckValueCarriesTheHighSumIntoTheSecondWord) {
    const auto [first, second] = CXmlBmlConverter::CheckValue(Bytes{0xFF, 0x02});
    EXPECT_EQ(first, 0x101u);
    EXPECT_EQ(second, ((0xFF * 0xFF) & 0xFF) + 4u);
}

TEST(BmlConverter, TheCheckValueCoversWholeBlocksAndTheTail) {
    // 0xFF squared keeps 0x01 in its low byte.
    const auto [first, second] = CXmlBmlConverter::CheckValue(Bytes(130, 0xFF));
    EXPECT_EQ(first, 130u * 0xFF);
    EXPECT_EQ(second, 130u);
    // A sum just past 32 bits: the carry lands in the second word.
    const std::size_t count = 16843010;
    const auto [low, carried] = CXmlBmlConverter::CheckValue(Bytes(count, 0xFF));
    EXPECT_EQ(low, 254u);
    EXPECT_EQ(carried, count + 1);
}

TEST(BmlConverter, TheCheckValueSumsEveryByteInEveryPosition) {
    // Bytes that differ in every position, over several large blocks and a ragged tail, so that
    // a byte summed into the wrong word, twice or not at all shows.
    Bytes bytes(3 * 4096 + 4096 / 2 + 7);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>((i * 7919 + i / 251) & 0xFF);
    }
    std::uint64_t sum = 0;
    std::uint64_t squares = 0;
    for (const std::uint8_t byte : bytes) {
        sum += byte;
        squares += (unsigned(byte) * byte) % 256;
    }
    const auto [first, second] = CXmlBmlConverter::CheckValue(bytes);
    EXPECT_EQ(first, sum);
    EXPECT_EQ(second, squares);
}

TEST(BmlConverter, DamagedRecordsFailTheWholeDocument) {
    const std::vector<Bytes> damaged = {
        {0x84, 1, 7, 0, 0, 0, 0},                 // type code 7
        {0x84, 0, 0, 1, 0x84, 1, 7, 1, 2, 3, 4},  // type code 7 in a child
        {0x8D, 0, 0, 0},                          // dictionary index 13
        {0x84, 0, 1, 0, 0x81, 0xFF},              // attribute value dictionary index 127
        {0x10, 0x00, 'a'},                        // inline string of 4096 bytes, cut short
        {0x00, 0x05, 'a', 'b'},                   // name runs past the end
        {0x84, 0, 0, 2, 0x84, 0, 0, 0},           // second child missing
        {0x84, 1, 4, 0, 0, 0, 0},                 // vector cut short
        {0x84},                                   // kind missing
    };
    for (const Bytes& body : damaged) {
        EXPECT_EQ(CXmlBmlConverter::FromBinary(WithCheckValue(body)), nullptr) << int(body.size());
    }
}

TEST(BmlConverter, NestingIsBoundedWhenReading) {
    Bytes body;
    for (int level = 0; level <= CXmlBmlConverter::kMaxDepth + 1; ++level) {
        body.insert(body.end(), {0x84, 0, 0, 1});
    }
    body.insert(body.end(), {0x84, 0, 0, 0});
    EXPECT_EQ(CXmlBmlConverter::FromBinary(WithCheckValue(body)), nullptr);
    Bytes shallow(body.end() - 4 * 10, body.end());
    EXPECT_NE(CXmlBmlConverter::FromBinary(WithCheckValue(shallow)), nullptr);
}

TEST(BmlConverter, DocumentsBeyondTheLimitsAreRefusedAndLogged) {
    zumbo::test::LogCapture log(0);
    enXml wide("Wide");
    for (int i = 0; i < 64; ++i) {
        wide.AddAttribute("a", "v");
    }
    CXmlBmlConverter converter;
    EXPECT_FALSE(converter.ToBinary(wide));
    EXPECT_EQ(log.Count("Error! CXmlBmlConverter::  Overflowed num children or pairs."), 1);
    EXPECT_TRUE(converter.Buffer().empty());
    EXPECT_NE(CXmlBmlConverter::FindLimitViolation(wide).description.find("64 attributes"),
              std::string::npos);

    enXml many("Many");
    for (int i = 0; i < 1024; ++i) {
        many.AddNewChild("c");
    }
    EXPECT_EQ(CXmlBmlConverter::FindLimitViolation(many).limit, eBmlLimit::Counts);
    std::unique_ptr<enXml> removed(many.LastChild());
    many.RemoveChild(removed.get());  // 1023 fit
    EXPECT_EQ(CXmlBmlConverter::FindLimitViolation(many).limit, eBmlLimit::None);

    enXml text("Text");
    text.AddNewChild("Deep")->AddAttribute("Caption", std::string(4096, 'x'));
    EXPECT_EQ(CXmlBmlConverter::FindLimitViolation(text).limit, eBmlLimit::StringLength);
    // A long number text is stored as a number, not as text.
    enXml number("Number");
    number.AddNewChild("fLong")->AddAttribute("Value", "1" + std::string(5000, '0'));
    EXPECT_EQ(CXmlBmlConverter::FindLimitViolation(number).limit, eBmlLimit::None);
}

TEST(BmlConverter, WritingDetectsNestingDeeperThanReadingAccepts) {
    enXml root("Root");
    enXml* node = &root;
    for (int level = 0; level <= CXmlBmlConverter::kMaxDepth; ++level) {
        node = node->AddNewChild("Level");
    }
    EXPECT_EQ(CXmlBmlConverter::FindLimitViolation(root).limit, eBmlLimit::Depth);
}

}  // namespace
