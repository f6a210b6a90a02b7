#include "engine/entity_manager.h"

#include <memory>

#include "app/camera_manager.h"
#include "engine/entity.h"
#include "engine/game_manager.h"
#include "engine/global_options.h"
#include "engine/hit_manager.h"
#include "engine/messages_broker.h"
#include "tests/engine/test_components.h"
#include "tests/support/engine_fixture.h"

namespace {

class EntityManagerTest : public EngineTest {
protected:
    enEntityManager& Manager() { return enEntityManager::Instance(); }

    CEntity* MakeEntity(const std::string& name, CEntity* parent = nullptr) {
        return MakeNamedEntity(name, parent);
    }

    // Records "name" in the journal each time the entity is ticked.
    CEntity* MakeRecordedEntity(const std::string& name, CEntity* parent = nullptr,
                                std::function<void(CEntity&)> action = {}) {
        CEntity* entity = MakeEntity(name, parent);
        entity->AddSuffixComponent(std::make_unique<CRecordingComponent>(m_journal, name, std::move(action)));
        return entity;
    }

    std::vector<std::string> m_journal;
};

TEST_F(EntityManagerTest, NewEntitiesWaitForTheNextTickAndAreDumpedAsNew) {
    CEntity* first = MakeRecordedEntity("first");
    EXPECT_EQ(1u, Manager().GetNewEntities().size());
    EXPECT_TRUE(Manager().GetActiveEntities().empty());

    Manager().Tick();
    EXPECT_EQ(std::vector<std::string>{"first"}, m_journal);
    ASSERT_EQ(1u, Manager().GetActiveEntities().size());

    // Spawned during a tick: not ticked in that tick.
    first->AddSuffixComponent(std::make_unique<CRecordingComponent>(m_journal, "spawner", [this](CEntity&) {
        if (Manager().GetNewEntities().empty()) {
            MakeRecordedEntity("spawned");
        }
    }));
    m_journal.clear();
    Manager().Tick();
    EXPECT_EQ((std::vector<std::string>{"first", "spawner"}), m_journal);
    ASSERT_EQ(1u, Manager().GetNewEntities().size());

    ClearLog();
    Manager().DumpEntities(nullptr, 1);
    EXPECT_EQ((std::vector<std::string>{
                  "Active Entities:", "\tfirst (visible)", "\t\t1.000000\t0.000000\t0.000000\t0.000000",
                  "\t\t0.000000\t1.000000\t0.000000\t0.000000", "\t\t0.000000\t0.000000\t1.000000\t0.000000",
                  "\t\t0.000000\t0.000000\t0.000000\t1.000000", "", "New Entities:", "\tspawned"}),
              LogMessages());
}

TEST_F(EntityManagerTest, DumpShowsTheTreeWithoutMatricesAtLevelTwoAndNothingBelow) {
    CEntity* root = MakeEntity("root");
    CEntity* child = MakeEntity("child", root);
    child->SetVisible(false);
    root->RefreshVisibility();
    Manager().Tick();

    CGlobalOptions::Instance().iDebugInfoLevel = 2;
    ClearLog();
    Manager().DumpEntities(nullptr, 1);
    EXPECT_EQ((std::vector<std::string>{"Active Entities:", "\troot (visible)", "\t\tchild (invisible)"}),
              LogMessages());

    CGlobalOptions::Instance().iDebugInfoLevel = 1;
    ClearLog();
    Manager().DumpEntities(nullptr, 1);
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(EntityManagerTest, AnEntityKilledEarlierInTheTickIsNotTickedAndGoneAfterIt) {
    CEntity* victim = nullptr;
    MakeRecordedEntity("killer", nullptr, [&victim](CEntity&) { victim->Kill(); });
    victim = MakeRecordedEntity("victim");
    const std::uint32_t victimSerial = victim->GetSerial();
    EXPECT_TRUE(Manager().IsAlive(victimSerial));

    Manager().Tick();
    EXPECT_EQ(std::vector<std::string>{"killer"}, m_journal);
    EXPECT_FALSE(Manager().IsAlive(victimSerial));
    EXPECT_EQ(nullptr, Manager().FindEntityByName("victim"));
    EXPECT_EQ(1u, Manager().GetActiveEntities().size());
    EXPECT_TRUE(LogContains("Entity \"victim\" was killed."));
}

TEST_F(EntityManagerTest, KillingAParentDeletesItsSubtreeWhereverItStandsInTheLists) {
    CEntity* survivorBefore = MakeEntity("before");
    CEntity* parent = MakeEntity("parent");
    CEntity* child = MakeEntity("child", parent);
    MakeEntity("grandchild", child);
    CEntity* survivorAfter = MakeEntity("after");
    Manager().Tick();
    MakeEntity("late child", parent);  // still in the new list

    // Killed children of living parents go too.
    CEntity* other = MakeEntity("other parent");
    CEntity* killedChild = MakeEntity("killed child", other);
    const std::uint32_t killedChildSerial = killedChild->GetSerial();
    killedChild->Kill();
    parent->Kill();
    Manager().Tick();

    const auto& active = Manager().GetActiveEntities();
    EXPECT_EQ(3u, active.size());
    EXPECT_EQ(survivorBefore, Manager().FindEntityByName("before"));
    EXPECT_EQ(survivorAfter, Manager().FindEntityByName("after"));
    EXPECT_EQ(other, Manager().FindEntityByName("other parent"));
    EXPECT_EQ(nullptr, other->FirstChild());
    EXPECT_FALSE(Manager().IsAlive(killedChildSerial));
    EXPECT_TRUE(Manager().GetNewEntities().empty());
}

TEST_F(EntityManagerTest, TickRunsRootsInOrderAndChildrenAfterTheirParent) {
    CEntity* a = MakeRecordedEntity("a");
    MakeRecordedEntity("a1", a);
    CEntity* a2 = MakeRecordedEntity("a2", a);
    MakeRecordedEntity("a2x", a2);
    MakeRecordedEntity("b");
    Manager().Tick();
    EXPECT_EQ((std::vector<std::string>{"a", "a1", "a2", "a2x", "b"}), m_journal);
}

TEST_F(EntityManagerTest, WhilePausedANonPausableRootMovesButItsPausableChildSubtreeStands) {
    CEntity* root = MakeRecordedEntity("root");
    CEntity* pausableChild = MakeRecordedEntity("pausable child", root);
    pausableChild->SetPausable(true);
    MakeRecordedEntity("grandchild", pausableChild);
    MakeRecordedEntity("plain child", root);
    CEntity* pausableRoot = MakeRecordedEntity("pausable root");
    pausableRoot->SetPausable(true);

    CMessagesBroker::Instance().Post(CMessagesBroker::Instance().Parse("PauseGame"));
    Manager().Tick();  // publishes the message
    enGameManager::Instance().Tick();
    ASSERT_TRUE(enGameManager::Instance().IsPaused());

    m_journal.clear();
    Manager().Tick();
    EXPECT_EQ((std::vector<std::string>{"root", "plain child"}), m_journal);
}

TEST_F(EntityManagerTest, OnlyEntitiesWithAHitMaskAtActivationJoinTheHitList) {
    CEntity* early = MakeEntity("early");
    early->SetHitGroups(0x10000);
    CEntity* late = MakeEntity("late");
    Manager().Tick();
    late->SetHitGroups(0x10000);
    Manager().Tick();
    EXPECT_EQ(std::vector<CEntity*>{early}, Manager().GetHitEntities());

    early->Kill();
    Manager().Tick();
    EXPECT_TRUE(Manager().GetHitEntities().empty());
}

TEST_F(EntityManagerTest, PairTestsSeeTheWorldBoxesOfTheSameTick) {
    CEntity* left = MakeEntity("left");
    CEntity* right = MakeEntity("right");
    for (CEntity* entity : {left, right}) {
        entity->SetHitGroups(1);
        entity->SetHitsWithGroups(1);
        entity->SetLocalBox(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 1, 1));
    }
    right->GetPlacementMatrix()._41 = 5;
    Manager().Tick();
    EXPECT_TRUE(enHitManager::Instance().GetPairHits().empty());

    // Moved by its component during the next tick, it touches the other one at once.
    right->AddSuffixComponent(std::make_unique<CRecordingComponent>(
        m_journal, "move", [](CEntity& entity) { entity.GetPlacementMatrix()._41 = 1; }));
    Manager().Tick();
    ASSERT_EQ(1u, enHitManager::Instance().GetPairHits().size());
    EXPECT_EQ(left, enHitManager::Instance().GetPairHits()[0].first);
}

TEST_F(EntityManagerTest, FindsByExactNameActiveBeforeNew) {
    CEntity* activeOne = MakeEntity("Twin");
    Manager().Tick();
    MakeEntity("Twin");
    CEntity* fresh = MakeEntity("Fresh");
    EXPECT_EQ(activeOne, Manager().FindEntityByName("Twin"));
    EXPECT_EQ(fresh, Manager().FindEntityByName("Fresh"));
    EXPECT_EQ(nullptr, Manager().FindEntityByName("twin"));
}

TEST_F(EntityManagerTest, DeleteAllEntitiesEmptiesBothListsAndSerialsStayUnique) {
    CEntity* root = MakeEntity("root");
    MakeEntity("child", root);
    Manager().Tick();
    CEntity* fresh = MakeEntity("fresh");
    const std::uint32_t freshSerial = fresh->GetSerial();
    Manager().DeleteAllEntities();
    EXPECT_TRUE(Manager().GetActiveEntities().empty());
    EXPECT_TRUE(Manager().GetNewEntities().empty());
    EXPECT_FALSE(Manager().IsAlive(freshSerial));
    EXPECT_GT(MakeEntity("next")->GetSerial(), freshSerial);
}

TEST_F(EntityManagerTest, SerialsOfAnEarlierManagerNeverComeAliveAgain) {
    const std::uint32_t earlier = MakeEntity("earlier")->GetSerial();
    Manager().DestroyInstance();
    const std::uint32_t later = MakeEntity("later")->GetSerial();
    EXPECT_NE(earlier, later);
    EXPECT_FALSE(Manager().IsAlive(earlier));
}

TEST_F(EntityManagerTest, DeviceHooksLogAroundThePass) {
    MakeEntity("any");
    EXPECT_EQ(S_OK, Manager().InitDeviceObjects(nullptr));
    EXPECT_EQ(S_OK, Manager().RestoreDeviceObjects());
    EXPECT_EQ(S_OK, Manager().InvalidateDeviceObjects());
    EXPECT_EQ(S_OK, Manager().DeleteDeviceObjects());
    EXPECT_EQ((std::vector<std::string>{"enEntityManager::InitDeviceObjects()", "OK",
                                        "enEntityManager::RestoreDeviceObjects()", "OK",
                                        "enEntityManager::InvalidateDeviceObjects()", "OK",
                                        "enEntityManager::DeleteDeviceObjects()", "OK"}),
              LogMessages());
}

// Message timing over the ticks of the game: the game manager runs before the entity manager.
TEST_F(EntityManagerTest, MessagesPostedInATickReachComponentsNextTickAndTheGameManagerTheTickAfter) {
    std::vector<int> componentSaw;
    int tick = 0;
    CEntity* watcher = MakeEntity("watcher");
    watcher->AddSuffixComponent(std::make_unique<CRecordingComponent>(m_journal, "watch", [&](CEntity&) {
        for (const tMessage& message : CMessagesBroker::Instance().GetCurrentMessages()) {
            if (message.code == kMessagePauseGame) {
                componentSaw.push_back(tick);
            }
        }
        if (tick == 1) {
            CMessagesBroker::Instance().Post(CMessagesBroker::Instance().Parse("PauseGame"));
        }
    }));
    std::vector<int> pausedAt;
    for (tick = 0; tick < 5; ++tick) {
        enGameManager::Instance().Tick();
        if (enGameManager::Instance().IsPaused()) {
            pausedAt.push_back(tick);
            enGameManager::Instance().Reset();
        }
        Manager().Tick();
    }
    EXPECT_EQ(std::vector<int>{2}, componentSaw);
    EXPECT_EQ(std::vector<int>{3}, pausedAt);
}

class RenderSortTest : public EntityManagerTest {
protected:
    void SetUp() override {
        EntityManagerTest::SetUp();
        CCamera& camera = CCameraManager::Instance().SceneCamera();
        camera.eye = D3DXVECTOR3(0, 0, -10);
        camera.lookAt = D3DXVECTOR3(0, 0, 0);
    }

    // An entity whose world box is centred on z (for 3D) or placed at z (for 2D).
    CEntity* MakeSorted(const std::string& name, bool is2D, bool isAlpha, float z) {
        CEntity* entity = MakeEntity(name);
        entity->SetRenderClass(is2D, isAlpha);
        entity->SetLocalBox(D3DXVECTOR3(-1, -1, -1), D3DXVECTOR3(1, 1, 1));
        entity->GetPlacementMatrix()._43 = z;
        return entity;
    }

    std::vector<std::string> SortedNames() {
        Manager().Tick();
        for (CEntity* entity : Manager().GetActiveEntities()) {
            entity->UpdateWorldMatrices(true);
        }
        for (CEntity* entity : Manager().GetActiveEntities()) {
            entity->UpdateWorldBoundingBox();
        }
        Manager().RenderAll();
        std::vector<std::string> names;
        for (const CEntity* entity : Manager().GetActiveEntities()) {
            names.push_back(entity->GetName());
        }
        return names;
    }
};

TEST_F(RenderSortTest, ThreeDBeforeTwoDOpaqueNearToFarAlphaFarToNear) {
    MakeSorted("2D near", true, false, 1);
    MakeSorted("alpha near", false, true, 2);
    MakeSorted("opaque far", false, false, 9);
    MakeSorted("2D far", true, true, 5);
    MakeSorted("alpha far", false, true, 8);
    MakeSorted("opaque near", false, false, 3);
    EXPECT_EQ((std::vector<std::string>{"opaque near", "opaque far", "alpha far", "alpha near", "2D far",
                                        "2D near"}),
              SortedNames());
    EXPECT_TRUE(LogContains("Render All Entities"));
    EXPECT_TRUE(LogContains("Sort All Entities"));
}

TEST_F(RenderSortTest, DepthFollowsTheSceneCamerasViewDirection) {
    CCamera& camera = CCameraManager::Instance().SceneCamera();
    camera.eye = D3DXVECTOR3(0, 0, 50);
    camera.lookAt = D3DXVECTOR3(0, 0, 40);
    MakeSorted("opaque at 9", false, false, 9);
    MakeSorted("opaque at 3", false, false, 3);
    MakeSorted("alpha at 2", false, true, 2);
    MakeSorted("alpha at 8", false, true, 8);
    EXPECT_EQ((std::vector<std::string>{"opaque at 9", "opaque at 3", "alpha at 2", "alpha at 8"}),
              SortedNames());
}

TEST_F(RenderSortTest, EqualAlphaKeysKeepTheirOrder) {
    MakeSorted("alpha one", false, true, 4);
    MakeSorted("alpha two", false, true, 4);
    MakeSorted("opaque", false, false, 100);
    EXPECT_EQ((std::vector<std::string>{"opaque", "alpha one", "alpha two"}), SortedNames());
}

}  // namespace
