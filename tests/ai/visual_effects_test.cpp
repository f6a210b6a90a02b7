#include <gtest/gtest.h>

#include "engine/broker.h"
#include "tests/ai/component_fixture.h"

using namespace zumbo::test;

namespace {

class VisualEffectsTest : public ComponentTest {
protected:
    // A text label shows its alpha in the top byte of its text colour.
    CEntity& Label() {
        return LoadEntity({}, nullptr, nullptr, {{"bTextLabel", "true"}, {"dwTextColor", "FFFFFFFF"}});
    }

    // The alpha after each of `ticks` updates of one component on a fresh label.
    std::vector<int> Alphas(const ComponentRecipe& recipe, int ticks, CEntity** owner = nullptr) {
        CEntity& entity = Label();
        m_component = Create(recipe, &entity);
        std::vector<int> alphas;
        for (int tick = 0; tick < ticks; ++tick) {
            m_component->Update();
            alphas.push_back(entity.GetAlpha());
        }
        if (owner) {
            *owner = &entity;
        }
        return alphas;
    }

    std::unique_ptr<C_AI> m_component;
};

}  // namespace

TEST_F(VisualEffectsTest, FadeHoldsRampsInWholeStepsAndStopsWhenNotLooped) {
    CEntity* entity = nullptr;
    const std::vector<int> alphas = Alphas(
        {"CAIFadeByAlpha", {{"fAlpha1", "0"}, {"fTime12", "1"}, {"fAlpha2", "255"}, {"bLooped", "false"}}},
        64, &entity);
    std::vector<int> expected = {0};
    for (int counter = 0; counter < 60; ++counter) {
        expected.push_back(255 * counter / 60);
    }
    expected.insert(expected.end(), {255, 255, 255});
    EXPECT_EQ(alphas, expected);
    EXPECT_EQ(alphas[3], 8);
    EXPECT_EQ(alphas[60], 250);

    // Finished: the component no longer touches the alpha, and nobody is killed.
    entity->SetAlpha(7, false);
    m_component->Update();
    EXPECT_EQ(entity->GetAlpha(), 7);
    EXPECT_FALSE(entity->IsKilled());
}

TEST_F(VisualEffectsTest, FadeWithZeroTimesShowsEachPhaseForOneTickAndLoops) {
    EXPECT_EQ(Alphas({"CAIFadeByAlpha", {{"fAlpha1", "10"}, {"fAlpha2", "20"}, {"fAlpha3", "30"}}}, 11),
              (std::vector<int>{10, 20, 20, 30, 30, 10, 20, 20, 30, 30, 10}));
    // Hold times in seconds become whole ticks: 0.05 s is three ticks.
    EXPECT_EQ(Alphas({"CAIFadeByAlpha", {{"fAlpha1", "10"}, {"fTime1", "0.05"}, {"fAlpha2", "20"}}}, 5),
              (std::vector<int>{10, 10, 10, 20, 20}));
}

TEST_F(VisualEffectsTest, FadeKillsOnFinishAndClampsLevelsOutsideTheRange) {
    CEntity* entity = nullptr;
    const std::vector<int> alphas = Alphas({"CAIFadeByAlpha",
                                            {{"fAlpha1", "-40"},
                                             {"fAlpha2", "300"},
                                             {"fAlpha3", "128.9"},
                                             {"bLooped", "false"},
                                             {"bKillOnFinish", "true"}}},
                                           5, &entity);
    EXPECT_EQ(alphas, (std::vector<int>{0, 255, 255, 128, 128}));
    EXPECT_TRUE(entity->IsKilled());
}

TEST_F(VisualEffectsTest, BlinkWithDefaultsGoesDownToZeroAndBackUpForEver) {
    const std::vector<int> alphas = Alphas({"CAIBlinkAlpha", {}}, 512);
    for (int tick = 1; tick <= 255; ++tick) {
        ASSERT_EQ(alphas[tick - 1], 255 - tick) << tick;
    }
    EXPECT_EQ(alphas[255], 0);  // below the minimum: clamped, and the direction turns
    EXPECT_EQ(alphas[256], 1);
    EXPECT_EQ(alphas[510], 255);  // at the top again
    EXPECT_EQ(alphas[511], 255);
}

TEST_F(VisualEffectsTest, BlinkWrapsWithoutPingPongWaitsAndSwapsInvertedLimits) {
    EXPECT_EQ(
        Alphas({"CAIBlinkAlpha", {{"fStartAlpha", "1"}, {"fMaxAlpha", "10"}, {"bPingPong", "false"}}}, 4),
        (std::vector<int>{0, 10, 9, 8}));
    EXPECT_EQ(Alphas({"CAIBlinkAlpha", {{"fInitialWaitTime", "0.05"}}}, 5),
              (std::vector<int>{255, 255, 255, 254, 253}));
    EXPECT_EQ(Alphas({"CAIBlinkAlpha",
                      {{"fStartAlpha", "199"}, {"fSpeed", "60"}, {"fMinAlpha", "200"}, {"fMaxAlpha", "100"}}},
                     4),
              (std::vector<int>{200, 200, 199, 198}));
}

TEST_F(VisualEffectsTest, BlinkNotLoopedFinishesAndMayKill) {
    CEntity* entity = nullptr;
    EXPECT_EQ(
        Alphas({"CAIBlinkAlpha", {{"fStartAlpha", "1"}, {"bLooped", "false"}, {"bKillOnFinish", "true"}}}, 4,
               &entity),
        (std::vector<int>{0, 0, 0, 0}));
    EXPECT_TRUE(entity->IsKilled());
}

TEST_F(VisualEffectsTest, BlinkMultipliesWithTheCurrentAlpha) {
    CEntity& entity = Label();
    entity.SetAlpha(128, false);
    auto blink = Create(
        {"CAIBlinkAlpha", {{"fStartAlpha", "128"}, {"fSpeed", "0"}, {"bMultiplyAlpha", "true"}}}, &entity);
    blink->Update();
    EXPECT_EQ(entity.GetAlpha(), 64);  // 128 x 128 / 255
    blink->Update();
    EXPECT_EQ(entity.GetAlpha(), 32);
}

TEST_F(VisualEffectsTest, BlinkFollowsItsBrokerSwitchAndShowsFullAlphaWhileOff) {
    CEntity& entity = Label();
    auto blink =
        Create({"CAIBlinkAlpha", {{"sBrokerValue", "Effects\\bBlink"}, {"fStartAlpha", "100"}}}, &entity);
    blink->Update();
    EXPECT_EQ(entity.GetAlpha(), 255);  // missing from the broker
    CBroker::Instance().SetString("Effects\\bBlink", "true");
    blink->Update();
    EXPECT_EQ(entity.GetAlpha(), 99);
    CBroker::Instance().SetString("Effects\\bBlink", "false");
    blink->Update();
    EXPECT_EQ(entity.GetAlpha(), 255);
    CBroker::Instance().SetString("Effects\\bBlink", "true");
    blink->Update();
    EXPECT_EQ(entity.GetAlpha(), 98);  // the blink went on where it stopped
}

TEST_F(VisualEffectsTest, ShowOnBrokerValuesSetsVisibilityOnlyWhenTheValueExists) {
    CEntity& entity = LoadEntity({});
    auto onBool = Create({"CAIShowOnBool", {{"sBrokerValue", "Game\\bShow"}}}, &entity);
    auto onInt = Create({"CAIShowOnIntEquals", {{"sBrokerValue", "Game\\iMode"}, {"iValue", "3"}}}, &entity);
    entity.SetVisible(false);
    onBool->Update();
    onInt->Update();
    EXPECT_FALSE(entity.IsVisible());  // neither value exists: nothing changes

    CBroker::Instance().SetString("Game\\bShow", "true");
    onBool->Update();
    EXPECT_TRUE(entity.IsVisible());
    EXPECT_TRUE(entity.IsEffectivelyVisible());
    CBroker::Instance().SetString("Game\\bShow", "false");
    onBool->Update();
    EXPECT_FALSE(entity.IsEffectivelyVisible());

    CBroker::Instance().SetString("Game\\iMode", "3");
    onInt->Update();
    EXPECT_TRUE(entity.IsVisible());
    CBroker::Instance().SetString("Game\\iMode", "4");
    onInt->Update();
    EXPECT_FALSE(entity.IsVisible());

    auto inverted =
        Create({"CAIShowOnBool", {{"sBrokerValue", "Game\\bShow"}, {"bValue", "false"}}}, &entity);
    inverted->Update();
    EXPECT_TRUE(entity.IsVisible());
}
