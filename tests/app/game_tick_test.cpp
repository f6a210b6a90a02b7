// The application's own game tick: the order of the managers within it and the second mark.

#include <gtest/gtest.h>

#include "app/camera_manager.h"
#include "app/debug_log.h"
#include "app/my_d3d_application.h"
#include "app/resource_ids.h"
#include "engine/entity_manager.h"
#include "engine/game_manager.h"
#include "engine/global_options.h"
#include "engine/messages_broker.h"
#include "platform/win32/window.h"
#include "tests/engine/test_components.h"
#include "tests/support/headless_application.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

namespace {

class GameTickTest : public ::testing::Test {
protected:
    void SetUp() override {
        zumbo::test::PrepareHeadlessApplication(dir);
        CCameraManager::DestroyInstance();
        app = &CMyD3DApplication::Instance();
        ASSERT_EQ(app->Create(nullptr, IDI_MAIN_ICON, IDR_MENU), S_OK);
    }
    void TearDown() override {
        win32::PostMessage(app->GetHWND(), win32::WM_CLOSE, 0, 0);
        app->Run(IDR_ACCELERATOR);
        app->DestroyInstance();
    }

    // An entity that posts the message in the given tick and records the ticks in which it
    // runs and in which it sees the message's code published.
    CEntity* Watcher(const char* message, int postAt, int messageCode) {
        CEntity* watcher = MakeNamedEntity("watcher");
        watcher->AddSuffixComponent(std::make_unique<CRecordingComponent>(m_ran, "ran", [=, this](CEntity&) {
            for (const tMessage& published : CMessagesBroker::Instance().GetCurrentMessages()) {
                if (published.code == messageCode) {
                    m_sawAt.push_back(m_tick);
                }
            }
            if (m_tick == postAt) {
                CMessagesBroker::Instance().Post(CMessagesBroker::Instance().Parse(message));
            }
        }));
        return watcher;
    }

    zumbo::test::TempDir dir;
    CMyD3DApplication* app = nullptr;
    int m_tick = 0;
    std::vector<std::string> m_ran;
    std::vector<int> m_sawAt;
};

// The game manager runs before the entity manager, which publishes the messages of the tick
// before: a message posted in tick 1 reaches components in tick 2 and the game manager in 3.
TEST_F(GameTickTest, TheGameManagerSeesAMessageOneTickAfterTheEntities) {
    Watcher("PauseGame", 1, kMessagePauseGame);
    std::vector<int> pausedAfter;
    for (m_tick = 0; m_tick < 5; ++m_tick) {
        app->GameTick();
        if (enGameManager::Instance().IsPaused()) {
            pausedAfter.push_back(m_tick);
            enGameManager::Instance().Reset();
        }
    }
    EXPECT_EQ(m_sawAt, std::vector<int>{2});
    EXPECT_EQ(pausedAfter, std::vector<int>{3});
}

// The scene loader runs after the entity manager: a reset posted in tick 1 is published and
// carried out in tick 2, after the entities ran, so the watcher is gone at the end of tick 2.
TEST_F(GameTickTest, TheSceneLoaderActsInTheTickThatPublishesAfterTheEntitiesRan) {
    const std::uint32_t serial = Watcher("ResetScene", 1, kMessageResetScene)->GetSerial();
    for (m_tick = 0; m_tick < 2; ++m_tick) {
        app->GameTick();
    }
    EXPECT_TRUE(enEntityManager::Instance().IsAlive(serial));
    app->GameTick();  // tick 2
    EXPECT_EQ(m_sawAt, std::vector<int>{2});
    EXPECT_FALSE(enEntityManager::Instance().IsAlive(serial));
    EXPECT_EQ(m_ran.size(), 3u);  // ticks 0, 1 and 2
}

TEST_F(GameTickTest, EveryThirtiethTickLogsTheSecondMark) {
    const zumbo::test::LogCapture log(3);
    for (int tick = 1; tick <= 89; ++tick) {
        app->GameTick();
        const int marks = log.Count("--- Game second mark ---");
        ASSERT_EQ(marks, tick / 30) << "after tick " << tick;
    }
    const zumbo::test::LogCapture quiet(2);
    app->GameTick();
    EXPECT_EQ(quiet.Count("--- Game second mark ---"), 0);
}

}  // namespace
