// Scrolling text, timed text messages, broker text and the HUD monitor.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/broker.h"
#include "engine/entity_manager.h"
#include "frontend/hud_monitor.h"
#include "frontend/scrolling_text_static.h"
#include "frontend/text_statics.h"
#include "tests/frontend/frontend_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

using namespace zumbo::test;

namespace {

class TextStaticsTest : public FrontendTest {
protected:
    // A scrolling text from top -200 to bottom 200 with the given lines and properties.
    CAIScrollingTextStatic& MakeScroller(const std::vector<std::string>& lines,
                                         const Properties& properties) {
        SaveLineTemplate();
        enXml element("AI");
        element.AddAttribute("Name", "CAIScrollingTextStatic");
        AddValue(element, "sTextTemplateXml", m_data.WindowsPath() + "Entities\\Line.xml");
        for (const auto& [name, value] : properties) {
            AddValue(element, name, value);
        }
        enXml& text = AddElement(element, "Text");
        for (const std::string& line : lines) {
            AddValue(text, "Line", line);
        }
        auto component = std::make_unique<CAIScrollingTextStatic>(element);
        CAIScrollingTextStatic& scroller = *component;
        m_scrollerEntity = &MakeEntity("credits");
        m_scrollerEntity->AddSuffixComponent(std::move(component));
        return scroller;
    }
    // A text label that keeps the placement the scroller gives it.
    void SaveLineTemplate() const {
        std::filesystem::create_directories(m_data.Path() / "Entities");
        auto line = MakeRoot("Entity", {{"Name", "Line"}});
        AddValue(*line, "bTextLabel", "true");
        AddElement(AddElement(*line, "AIList"), "AIPhysics", {{"Name", "CAINoPhysics"}});
        EXPECT_TRUE(line->Save(m_data.WindowsPath() + "Entities\\Line.xml"));
    }
    std::vector<CEntity*> Lines() const {
        std::vector<CEntity*> lines;
        for (CEntity* line = m_scrollerEntity->FirstChild(); line; line = line->NextSibling()) {
            lines.push_back(line);
        }
        return lines;
    }
    CEntity& MakeMonitor(const Properties& properties, const char* color = "FFFFFFFF") {
        CEntity& entity = MakeEntity("hud", nullptr, {{"dwTextColor", color}});
        MakeEntity("child", &entity, {{"dwTextColor", "FFFFFFFF"}});
        Attach<CAIHUDMonitorValueRange>(entity, "CAIHUDMonitorValueRange", properties);
        return entity;
    }

    TempDir m_data;
    CEntity* m_scrollerEntity = nullptr;
};

TEST_F(TextStaticsTest, ScrollingTextSpawnsItsLinesOnTheIntervalFromTheFirstTick) {
    CAIScrollingTextStatic& scroller = MakeScroller(
        {"one", "two", "three"}, {{"fRowsIndent", "20"}, {"fScrollSpeed", "2"}, {"sJustification", "Left"}});
    EXPECT_EQ(scroller.SpawnInterval(), 10);
    std::vector<int> spawnTicks;
    std::size_t seen = 0;
    for (int tick = 1; tick <= 30; ++tick) {
        Frame();
        if (Lines().size() > seen) {
            spawnTicks.push_back(tick);
            seen = Lines().size();
        }
    }
    EXPECT_EQ(spawnTicks, (std::vector<int>{1, 11, 21}));
    const auto lines = Lines();
    EXPECT_EQ(lines[0]->GetText(), "one");
    EXPECT_EQ(lines[2]->GetText(), "three");
    // Spawned at (-300, 240) below the bottom edge, where the footer zone slows it to 0.3 of
    // the speed of 2 while it is more than 28 below the edge: 10 moves of 0.6.
    EXPECT_FLOAT_EQ(lines[2]->GetPlacementMatrix()._41, -300.0f);
    EXPECT_NEAR(lines[2]->GetPlacementMatrix()._42, 234.0f, 1e-3f);
}

TEST_F(TextStaticsTest, HeaderZoneShrinksAndSlowsTheLines) {
    MakeScroller({"a", "b"}, {{"fScrollSpeed", "2"}, {"sJustification", "center"}, {"p3TextSize", "2,2,2"}});
    Frame();
    CEntity& line = *Lines().front();
    // Halfway through the 40 high header zone above the top at -200.
    D3DXMatrixTranslation(&line.GetPlacementMatrix(), 0.0f, -220.0f, 0.0f);
    Frame();
    EXPECT_FLOAT_EQ(line.GetPlacementMatrix()._11, 1.0f);  // half of the text size 2
    EXPECT_FLOAT_EQ(line.GetPlacementMatrix()._42, -221.0f);
    EXPECT_EQ(line.GetAlpha(), 0);
    D3DXMatrixTranslation(&line.GetPlacementMatrix(), 0.0f, -236.0f, 0.0f);
    Frame();
    EXPECT_NEAR(line.GetPlacementMatrix()._42, -236.6f, 1e-4f);
    // In the middle the line keeps its size, its speed and full alpha.
    D3DXMatrixTranslation(&line.GetPlacementMatrix(), 0.0f, 0.0f, 0.0f);
    Frame();
    EXPECT_FLOAT_EQ(line.GetPlacementMatrix()._11, 2.0f);
    EXPECT_FLOAT_EQ(line.GetPlacementMatrix()._42, -2.0f);
    EXPECT_EQ(line.GetAlpha(), 255);
    // 50 into the 100 high fade zone at the top: half alpha.
    D3DXMatrixTranslation(&line.GetPlacementMatrix(), 0.0f, -148.0f, 0.0f);
    Frame();
    EXPECT_EQ(line.GetAlpha(), 127);
}

TEST_F(TextStaticsTest, ScrollingTextKillsItsEntityWhenEverythingHasGone) {
    MakeScroller({"x", "y"}, {{"p3LeftUpCorner", "0,-10,0"},
                              {"p3RightDownCorner", "0,10,0"},
                              {"fScaleHeaderHeight", "5"},
                              {"fScaleFooterHeight", "5"},
                              {"fRowsIndent", "5"},
                              {"fScrollSpeed", "5"},
                              {"sJustification", "Right"}});
    Frames(3);
    EXPECT_EQ(Lines().size(), 2u);
    Frames(40);
    EXPECT_EQ(enEntityManager::Instance().FindEntityByName("credits"), nullptr);
}

TEST_F(TextStaticsTest, WrongJustificationIsLoggedAndLeftIsUsed) {
    CAIScrollingTextStatic& scroller = MakeScroller({}, {{"sJustification", "Middle"}});
    EXPECT_TRUE(LogContains("Warning. Wrong justification constant met: Middle. In file . Using default."));
    EXPECT_FLOAT_EQ(scroller.SpawnPosition().x, -300.0f);
    EXPECT_FLOAT_EQ(scroller.SpawnPosition().y, 240.0f);
}

TEST_F(TextStaticsTest, StoppedScrollSpeedKeepsTheDefaultInterval) {
    EXPECT_EQ(MakeScroller({}, {{"fScrollSpeed", "0"}, {"sJustification", "Left"}}).SpawnInterval(), 10);
}

TEST_F(TextStaticsTest, TextMessagesShowNewestFirstForTheirTicks) {
    CEntity& console = MakeEntity("console");
    Attach<CAITextMessagesStatic>(console, "CAITextMessagesStatic");
    CMessagesBroker::Instance().Post({kMessageTextMessage, "Hello,120"});
    Frame();
    CMessagesBroker::Instance().Post({kMessageTextMessage, "World;5"});
    CMessagesBroker::Instance().Post({kMessageTextMessage, ",,"});
    Frame();
    EXPECT_EQ(console.GetText(), "World\nHello");
    // Published with 5 ticks and counted down in the same tick: gone 4 ticks later.
    Frames(3);
    EXPECT_EQ(console.GetText(), "World\nHello");
    Frame();
    EXPECT_EQ(console.GetText(), "Hello");
}

TEST_F(TextStaticsTest, MessageWithoutTimeLastsNoTick) {
    CEntity& console = MakeEntity("console");
    Attach<CAITextMessagesStatic>(console, "CAITextMessagesStatic");
    CMessagesBroker::Instance().Post({kMessageTextMessage, "Flash"});
    Frames(2);
    EXPECT_EQ(console.GetText(), "");
}

TEST_F(TextStaticsTest, BrokerTextFollowsItsValueWhileVisible) {
    CEntity& shown = MakeEntity("shown");
    Attach<CAIShowBrokerText>(shown, "CAIShowBrokerText", {{"sBrokerPath", "Frontend\\sLastShownDialogID"}});
    CEntity& idle = MakeEntity("idle", nullptr, {{"bVisible", "false"}});
    Attach<CAIShowBrokerText>(idle, "CAIShowBrokerText",
                              {{"sBrokerPath", "Frontend\\sLastShownDialogID"}, {"bIdleInvisible", "true"}});
    Frame();
    EXPECT_EQ(shown.GetText(), "");
    CBroker::Instance().SetString("Frontend\\sLastShownDialogID", "Options");
    Frame();
    EXPECT_EQ(shown.GetText(), "Options");
    EXPECT_EQ(idle.GetText(), "");
}

TEST_F(TextStaticsTest, HudMonitorFadesOverItsRangeOnItsEntityAlone) {
    CEntity& hud = MakeMonitor({{"sBrokerValue", "Game\\fSpeed"}, {"fRangeMin", "10"}, {"fRangeMax", "20"}});
    const std::vector<std::pair<float, int>> cases = {
        {5.0f, 0}, {10.0f, 0}, {15.0f, 127}, {20.0f, 255}, {99.0f, 255}};
    for (const auto& [value, alpha] : cases) {
        CBroker::Instance().SetFloat("Game\\fSpeed", value);
        Frame();
        EXPECT_EQ(hud.GetAlpha(), alpha) << value;
    }
    EXPECT_EQ(hud.FirstChild()->GetAlpha(), 255);
}

TEST_F(TextStaticsTest, HudMonitorReadsItsBoundsAsIntegersAndCanMultiply) {
    CEntity& hud = MakeMonitor({{"sBrokerValue", "Game\\fSpeed"},
                                {"fRangeMin", "0.5"},
                                {"fRangeMax", "10"},
                                {"bMultiplyAlpha", "true"}},
                               "80FFFFFF");
    CBroker::Instance().SetFloat("Game\\fSpeed", 5.0f);
    Frame();
    // Minimum 0: 5 of 10 is 127.5, times the current 128 / 255.
    EXPECT_EQ(hud.GetAlpha(), 64);
}

TEST_F(TextStaticsTest, HudMonitorWithoutAUsableRangeOrValueLeavesTheAlpha) {
    CEntity& missing =
        MakeMonitor({{"sBrokerValue", "Game\\fNothing"}, {"fRangeMin", "0"}, {"fRangeMax", "10"}});
    CEntity& empty =
        MakeMonitor({{"sBrokerValue", "Game\\fSpeed"}, {"fRangeMin", "10"}, {"fRangeMax", "10"}});
    CEntity& unset = MakeMonitor({{"sBrokerValue", "Game\\fSpeed"}, {"fRangeMax", "10"}});
    CBroker::Instance().SetFloat("Game\\fSpeed", 5.0f);
    Frame();
    EXPECT_EQ(missing.GetAlpha(), 255);
    EXPECT_EQ(empty.GetAlpha(), 255);
    EXPECT_EQ(unset.GetAlpha(), 255);
}

}  // namespace
