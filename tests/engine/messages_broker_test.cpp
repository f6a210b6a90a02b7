#include "engine/messages_broker.h"

#include "engine/game_manager.h"
#include "resource/xml.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/xml_builder.h"

namespace {

class MessagesBrokerTest : public EngineTest {
protected:
    tMessage Parse(const std::string& text) { return CMessagesBroker::Instance().Parse(text); }
    const std::vector<tMessage>& Current() { return CMessagesBroker::Instance().GetCurrentMessages(); }
};

TEST_F(MessagesBrokerTest, ParsesNameAndArgumentIgnoringCaseOfTheName) {
    const tMessage loadScene = Parse("LoadScene(Menu)");
    EXPECT_EQ(kMessageLoadScene, loadScene.code);
    EXPECT_EQ("Menu", loadScene.argument);
    const tMessage lower = Parse("loadscene(Menu)");
    EXPECT_EQ(kMessageLoadScene, lower.code);
    EXPECT_EQ("Menu", lower.argument);
    EXPECT_EQ(kMessageTextMessage, Parse("TEXTMESSAGE(Hello, world;3)").code);
    EXPECT_EQ("Hello, world;3", Parse("TextMessage(Hello, world;3)").argument);
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(MessagesBrokerTest, EmptyParenthesesAndSurroundingParenthesesGiveNoArgument) {
    for (const char* text : {"ExitApplication", "ExitApplication()", "(ExitApplication)"}) {
        const tMessage message = Parse(text);
        EXPECT_EQ(kMessageExitApplication, message.code) << text;
        EXPECT_EQ("", message.argument) << text;
    }
}

TEST_F(MessagesBrokerTest, MalformedTextIsReportedAndUnknown) {
    for (const char* text : {"LoadScene (Menu)", "A(B)(C)", "LoadScene(A)B", "NoSuchMessage(x)", "()"}) {
        ClearLog();
        const tMessage message = Parse(text);
        EXPECT_EQ(kMessageUnknown, message.code) << text;
        EXPECT_EQ("", message.argument) << text;
        EXPECT_TRUE(
            LogContains(std::string("WARNING! Failed to parse the following message: \"") + text + "\""))
            << text;
    }
}

TEST_F(MessagesBrokerTest, EmptyTextIsUnknownWithoutWarning) {
    EXPECT_EQ(kMessageUnknown, Parse("").code);
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(MessagesBrokerTest, PostedMessagesAppearOnlyAfterPromotionAndForOneRound) {
    CMessagesBroker& broker = CMessagesBroker::Instance();
    broker.Post(Parse("LoadScene(A)"));
    broker.PostAll({Parse("LoadScene(B)"), Parse("MusicStop")});
    EXPECT_TRUE(Current().empty());

    broker.Promote();
    ASSERT_EQ(3u, Current().size());
    EXPECT_EQ("A", Current()[0].argument);
    EXPECT_EQ("B", Current()[1].argument);
    EXPECT_EQ(kMessageMusicStop, Current()[2].code);

    broker.Post(Parse("ResetScene"));
    broker.Promote();
    ASSERT_EQ(1u, Current().size());
    EXPECT_EQ(kMessageResetScene, Current()[0].code);

    broker.Promote();
    EXPECT_TRUE(Current().empty());
}

class PauseGameTest : public MessagesBrokerTest {
protected:
    // Publishes the messages and lets the game manager act on them.
    bool PausedAfter(const std::vector<std::string>& texts) {
        for (const auto& text : texts) {
            CMessagesBroker::Instance().Post(Parse(text));
        }
        CMessagesBroker::Instance().Promote();
        enGameManager::Instance().Tick();
        return enGameManager::Instance().IsPaused();
    }
};

TEST_F(PauseGameTest, EmptyOrTrueInAnyCasePauses) {
    EXPECT_TRUE(PausedAfter({"PauseGame"}));
    EXPECT_FALSE(PausedAfter({"PauseGame(false)"}));
    EXPECT_TRUE(PausedAfter({"PauseGame(TRUE)"}));
    EXPECT_FALSE(PausedAfter({"PauseGame(yes)"}));
    EXPECT_TRUE(PausedAfter({"PauseGame()"}));
    EXPECT_FALSE(PausedAfter({"PauseGame(0)"}));
}

TEST_F(PauseGameTest, TheLastMessageOfATickDecides) {
    EXPECT_FALSE(PausedAfter({"PauseGame(true)", "PauseGame(false)"}));
    EXPECT_TRUE(PausedAfter({"PauseGame(false)", "PauseGame"}));
}

TEST_F(PauseGameTest, OtherMessagesAndAQuietTickKeepTheState) {
    EXPECT_TRUE(PausedAfter({"PauseGame"}));
    EXPECT_TRUE(PausedAfter({"LoadScene(x)"}));
    EXPECT_TRUE(PausedAfter({}));
    enGameManager::Instance().Reset();
    EXPECT_FALSE(enGameManager::Instance().IsPaused());
}

TEST_F(MessagesBrokerTest, ParseListTakesMatchingChildrenInOrderIgnoringTagCase) {
    enXml button("Button");
    zumbo::test::AddValue(button, "sMessage", "ButtonPressed(Credits)");
    zumbo::test::AddValue(button, "sOther", "LoadScene(Not me)");
    zumbo::test::AddValue(button, "SMESSAGE", "LoadScene(Menu)");
    zumbo::test::AddValue(button, "sMessage", "");
    zumbo::test::AddElement(button, "sMessage");
    std::vector<tMessage> messages;
    CMessagesBroker::Instance().ParseList(button, "smessage", messages);
    ASSERT_EQ(4u, messages.size());
    EXPECT_EQ(kMessageButtonPressed, messages[0].code);
    EXPECT_EQ("Credits", messages[0].argument);
    EXPECT_EQ(kMessageLoadScene, messages[1].code);
    EXPECT_EQ(kMessageUnknown, messages[2].code);
    EXPECT_EQ(kMessageUnknown, messages[3].code);
    EXPECT_TRUE(LogMessages().empty());
}

}  // namespace
