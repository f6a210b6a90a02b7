#include <gtest/gtest.h>

#include "engine/broker.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "engine/hit_manager.h"
#include "resource/xml.h"
#include "tests/support/engine_fixture.h"

namespace {

constexpr std::uint32_t kMouse = 0x10000;
constexpr std::uint32_t kAll = 0xFFFFFFFF;

// Stands in for an entity whose model is drawn in 2D.
class CPickableEntity : public CEntity {
public:
    bool HasModel2D() const override { return true; }
};

class HitManagerTest : public EngineTest {
protected:
    void TearDown() override {
        CBroker::Instance().GetNode("Mouse", true)->SetValueBool("bVisible", false);
        if (enHitManager* manager = enHitManager::GetInstance()) {
            manager->DestroyInstance();
        }
        EngineTest::TearDown();
    }

    // A root entity with a unit box around (x, y) and the given masks.
    template <class Entity = CEntity>
    static CEntity* BoxAt(const char* name, float x, float y, std::uint32_t own, std::uint32_t hitsWith) {
        auto* entity = new Entity();
        entity->SetName(name);
        entity->SetHitGroups(own);
        entity->SetHitsWithGroups(hitsWith);
        entity->SetLocalBox({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
        D3DXMatrixTranslation(&entity->GetPlacementMatrix(), x, y, 0.0f);
        return entity;
    }

    static void Tick() { enEntityManager::Instance().Tick(); }
    static const std::vector<tHit>& PairHits() { return enHitManager::Instance().GetPairHits(); }

    static void PublishMouse(bool visible, float x, float y) {
        enXml* mouse = CBroker::Instance().GetNode("Mouse", true);
        mouse->SetValueBool("bVisible", visible);
        mouse->SetValueFloat("fXPosition", x);
        mouse->SetValueFloat("fYPosition", y);
    }
};

}  // namespace

TEST_F(HitManagerTest, GroupNamesIgnoreCaseAndCombine) {
    enHitManager& hits = enHitManager::Instance();
    EXPECT_EQ(kMouse, hits.ParseGroups("Mouse"));
    EXPECT_EQ(kMouse, hits.ParseGroups("mOUSE"));
    EXPECT_EQ(kAll, hits.ParseGroups("Mouse;All"));
    EXPECT_EQ(kMouse, hits.ParseGroups(",;Mouse;;,"));
    EXPECT_EQ(0u, hits.ParseGroups(""));
    EXPECT_FALSE(LogContains("Error: Wrong Hit Group name met: \"\"."));
}

TEST_F(HitManagerTest, UnknownGroupNamesAreLoggedAndContributeNothing) {
    enHitManager& hits = enHitManager::Instance();
    EXPECT_EQ(kMouse, hits.ParseGroups("Mouse, All"));
    EXPECT_TRUE(LogContains("Error: Wrong Hit Group name met: \" All\"."));
    EXPECT_EQ(0u, hits.ParseGroups("Walls"));
    EXPECT_TRUE(LogContains("Error: Wrong Hit Group name met: \"Walls\"."));
}

TEST_F(HitManagerTest, OverlappingBoxesHitInTheXYPlane) {
    BoxAt("a", 0, 0, kAll, kAll);
    BoxAt("b", 0.5f, 0.75f, kAll, 0);
    Tick();
    ASSERT_EQ(1u, PairHits().size());
    const tHit& hit = PairHits().front();
    EXPECT_EQ("a", hit.first->GetName());
    EXPECT_EQ("b", hit.second->GetName());
    EXPECT_EQ(D3DXVECTOR3(0, 0.25f, 0), hit.boxMin);
    EXPECT_EQ(D3DXVECTOR3(0.5f, 0.5f, 0), hit.boxMax);
    EXPECT_EQ(D3DXVECTOR3(0.25f, 0.375f, 0), hit.centre);
    EXPECT_TRUE(LogContains("Found Hit between \"a\" and \"b\"."));
    EXPECT_TRUE(LogContains("\"a\": OHG = 0xffffffff and CHG = 0xffffffff."));
    EXPECT_TRUE(LogContains("\"b\": OHG = 0xffffffff and CHG = 0x0."));
}

TEST_F(HitManagerTest, BoxesApartInXOrYDoNotHitAndZIsIgnored) {
    BoxAt("a", 0, 0, kAll, kAll);
    BoxAt("right", 1.5f, 0, kAll, kAll);
    BoxAt("above", 0, 1.01f, kAll, kAll);
    CEntity* behind = BoxAt("behind", 3, 3, kAll, kAll);
    D3DXMatrixTranslation(&behind->GetPlacementMatrix(), 0, 0, 50);
    Tick();
    ASSERT_EQ(1u, PairHits().size());
    EXPECT_EQ("behind", PairHits().front().second->GetName());
}

TEST_F(HitManagerTest, BoxesTouchingAtAnEdgeHitWithAFlatBox) {
    BoxAt("a", 0, 0, kAll, kAll);
    BoxAt("b", 1, 0, kAll, kAll);
    Tick();
    ASSERT_EQ(1u, PairHits().size());
    EXPECT_EQ(0.5f, PairHits().front().boxMin.x);
    EXPECT_EQ(0.5f, PairHits().front().boxMax.x);
}

TEST_F(HitManagerTest, MasksAndVisibilityDecideWhichPairsAreTested) {
    // Both own the mouse group but hit nothing: never a pair.
    BoxAt("cursor target 1", 0, 0, kMouse, 0);
    BoxAt("cursor target 2", 0, 0, kMouse, 0);
    CEntity* hidden = BoxAt("hidden", 0, 0, kAll, kAll);
    hidden->SetVisible(false);
    hidden->RefreshVisibility();
    Tick();
    EXPECT_TRUE(PairHits().empty());
}

TEST_F(HitManagerTest, SubtreesAreTestedThroughTheirRoots) {
    CEntity* root = BoxAt("root", 10, 10, kAll, kAll);
    CEntity* child = BoxAt("child", 0, 0, 0, 0);
    child->SetHitsWithGroups(kAll);
    root->AddChild(child);
    child->SetParentRelative(false);
    BoxAt("other", 0, 0, kAll, 0);
    Tick();
    ASSERT_EQ(1u, PairHits().size());
    EXPECT_EQ(child, PairHits().front().first);
    EXPECT_EQ("other", PairHits().front().second->GetName());
}

TEST_F(HitManagerTest, OnlyEntitiesWithAMaskAtActivationTakePart) {
    BoxAt("a", 0, 0, kAll, kAll);
    CEntity* late = BoxAt("late", 0, 0, 0, 0);
    Tick();
    late->SetHitGroups(kAll);
    late->SetHitsWithGroups(kAll);
    Tick();
    EXPECT_TRUE(PairHits().empty());
}

TEST_F(HitManagerTest, NoMouseHitsWithoutAVisiblePointerOrWithASingleEntity) {
    BoxAt("only", 0, 0, kMouse, 0);
    PublishMouse(true, 0, 0);
    Tick();
    EXPECT_TRUE(enHitManager::Instance().GetMouseHits().empty());
    EXPECT_EQ(nullptr, enHitManager::Instance().GetMouseHit());

    BoxAt("second", 0, 0, kMouse, 0);
    PublishMouse(false, 0, 0);
    Tick();
    EXPECT_TRUE(enHitManager::Instance().GetMouseHits().empty());
}

TEST_F(HitManagerTest, EntitiesWithoutA2DModelAreNeverPicked) {
    BoxAt("a", 0, 0, kMouse, 0);
    BoxAt("b", 0, 0, kMouse, 0);
    PublishMouse(true, 0, 0);
    Tick();
    EXPECT_EQ(nullptr, enHitManager::Instance().GetMouseHit());
}

TEST_F(HitManagerTest, The2DEntityDrawnOnTopIsPickedFirst) {
    CEntity* below = BoxAt<CPickableEntity>("below", 0, 0, kMouse, 0);
    D3DXMatrixTranslation(&below->GetPlacementMatrix(), 0, 0, 7);
    CEntity* above = BoxAt<CPickableEntity>("above", 0.25f, 0, kMouse, 0);
    BoxAt<CPickableEntity>("elsewhere", 5, 5, kMouse, 0);
    PublishMouse(true, 0.5f, -0.5f);  // on the edge of both boxes
    Tick();
    const std::vector<tHit>& hits = enHitManager::Instance().GetMouseHits();
    ASSERT_EQ(2u, hits.size());
    EXPECT_EQ(above, enHitManager::Instance().GetMouseHit());
    EXPECT_EQ(below, hits[1].first);
    EXPECT_EQ(nullptr, hits[1].second);
    EXPECT_EQ(D3DXVECTOR3(0.5f, -0.5f, 6.5f), hits[1].centre);
    EXPECT_TRUE(LogContains("2 mouse hit(s) found."));
}

TEST_F(HitManagerTest, HiddenOrUngroupedEntitiesAreNotPicked) {
    CEntity* hidden = BoxAt<CPickableEntity>("hidden", 0, 0, kMouse, 0);
    hidden->SetVisible(false);
    hidden->RefreshVisibility();
    BoxAt<CPickableEntity>("not in the group", 0, 0, kAll & ~kMouse, 0);
    PublishMouse(true, 0, 0);
    Tick();
    EXPECT_TRUE(enHitManager::Instance().GetMouseHits().empty());
    EXPECT_FALSE(LogContains("0 mouse hit(s) found."));
}

// A scene change deletes entities after the pass, so the next tick's controls read the records
// before any new pass: none may name a deleted entity.
TEST_F(HitManagerTest, RecordsNamingADeletedEntityGoAtOnce) {
    CEntity* left = BoxAt<CPickableEntity>("left", 0, 0, kAll, kAll);
    CEntity* right = BoxAt<CPickableEntity>("right", 0.5f, 0, kAll, kAll);
    CEntity* middle = BoxAt("middle", 0.25f, 0, kAll, kAll);
    PublishMouse(true, 0.25f, 0);
    Tick();
    ASSERT_EQ(3u, PairHits().size());
    ASSERT_EQ(right, enHitManager::Instance().GetMouseHit());

    delete right;
    ASSERT_EQ(1u, PairHits().size());
    EXPECT_EQ(left, PairHits().front().first);
    EXPECT_EQ(middle, PairHits().front().second);
    ASSERT_EQ(1u, enHitManager::Instance().GetMouseHits().size());
    EXPECT_EQ(left, enHitManager::Instance().GetMouseHit());

    enEntityManager::Instance().DeleteAllEntities();
    EXPECT_TRUE(PairHits().empty());
    EXPECT_EQ(nullptr, enHitManager::Instance().GetMouseHit());
}
