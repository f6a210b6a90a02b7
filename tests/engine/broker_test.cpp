#include "engine/broker.h"

#include <gtest/gtest.h>

namespace {

class BrokerTest : public ::testing::Test {
protected:
    void SetUp() override { CBroker::DestroyInstance(); }
    void TearDown() override { CBroker::DestroyInstance(); }
    CBroker& Broker() { return CBroker::Instance(); }
};

TEST_F(BrokerTest, MissingValuesLeaveTheOutputAndCreateNothing) {
    bool visible = true;
    EXPECT_FALSE(Broker().GetBool("Mouse\\bVisible", visible));
    EXPECT_TRUE(visible);
    EXPECT_EQ(nullptr, Broker().GetNode("Mouse", false));
    EXPECT_EQ(nullptr, Broker().FirstChild());
}

TEST_F(BrokerTest, PathsIgnoreCaseOfEverySegment) {
    ASSERT_TRUE(Broker().SetString("Frontend\\sLastShownDialogID", "Main"));
    std::string dialog;
    EXPECT_TRUE(Broker().GetString("frontend\\slastshowndialogid", dialog));
    EXPECT_EQ("Main", dialog);
}

TEST_F(BrokerTest, BothSeparatorsCreateNestedGroupsAndValuesAreText) {
    ASSERT_TRUE(Broker().SetFloat("A/B\\C", 2.5f));
    enXml* groupB = Broker().GetNode("A\\B", false);
    ASSERT_NE(nullptr, groupB);
    EXPECT_EQ(groupB, Broker().GetNode("a/b", false));
    std::int32_t whole = 0;
    EXPECT_TRUE(Broker().GetInt("A\\B\\C", whole));
    EXPECT_EQ(2, whole);
    std::string text;
    EXPECT_TRUE(Broker().GetString("A\\B\\C", text));
    EXPECT_EQ("2.5", text);

    Broker().SetFloat("Big", 1234567.0f);
    EXPECT_TRUE(Broker().GetString("Big", text));
    EXPECT_EQ("1.23457e+06", text);
}

TEST_F(BrokerTest, MalformedPathsFailAndCreateNothing) {
    for (const char* path : {"", "\\Leaf", "Group\\", "/Leaf", "Group/"}) {
        EXPECT_FALSE(Broker().SetString(path, "x")) << path;
        std::string text = "kept";
        EXPECT_FALSE(Broker().GetString(path, text)) << path;
        EXPECT_EQ("kept", text);
    }
    EXPECT_EQ(nullptr, Broker().FirstChild());
}

TEST_F(BrokerTest, DoubledSeparatorsAreSkippedAndGroupsCanHoldValues) {
    ASSERT_TRUE(Broker().SetString("A\\\\B", "leaf"));
    std::string text;
    EXPECT_TRUE(Broker().GetString("A\\B", text));
    EXPECT_EQ("leaf", text);
    ASSERT_TRUE(Broker().SetString("A", "group value"));
    EXPECT_TRUE(Broker().GetString("A", text));
    EXPECT_EQ("group value", text);
    EXPECT_EQ(Broker().GetNode("", false), &Broker());
    EXPECT_EQ(Broker().GetNode("\\\\A//", false), Broker().GetNode("A", false));
}

TEST_F(BrokerTest, GetNodeCreatesOnRequestAndTypedAccessorsWorkOnGroups) {
    enXml* mouse = Broker().GetNode("Mouse", true);
    ASSERT_NE(nullptr, mouse);
    mouse->SetValueBool("bVisible", false);
    mouse->SetValueFloat("fXPosition", 320.0f);
    bool visible = true;
    EXPECT_TRUE(Broker().GetBool("MOUSE/BVISIBLE", visible));
    EXPECT_FALSE(visible);
    float x = 0;
    EXPECT_TRUE(Broker().GetFloat("Mouse\\fXPosition", x));
    EXPECT_EQ(320.0f, x);
    EXPECT_EQ(mouse, Broker().GetNode("Mouse", true));
    EXPECT_EQ(mouse, Broker().FirstChild());
    EXPECT_EQ(nullptr, mouse->NextSibling());
}

}  // namespace
