#include "engine/entity.h"

#include <memory>

#include "engine/entity_manager.h"
#include "tests/engine/test_components.h"
#include "tests/support/engine_fixture.h"

namespace {

class EntityTest : public EngineTest {
protected:
    CEntity* MakeEntity(const std::string& name, CEntity* parent = nullptr) {
        return MakeNamedEntity(name, parent);
    }

    static D3DXMATRIX Translation(float x, float y, float z) {
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, x, y, z);
        return m;
    }
};

void ExpectVector(const D3DXVECTOR3& expected, const D3DXVECTOR3& actual) {
    EXPECT_FLOAT_EQ(expected.x, actual.x);
    EXPECT_FLOAT_EQ(expected.y, actual.y);
    EXPECT_FLOAT_EQ(expected.z, actual.z);
}

TEST_F(EntityTest, AFreshEntityHasAnEmptyBoxIdentityMatricesAndTheDefaults) {
    CEntity* entity = MakeEntity("fresh");
    ExpectVector(D3DXVECTOR3(0, 0, 0), entity->GetLocalBoxMin());
    EXPECT_EQ(-kEntityEpsilon, entity->GetLocalBoxMax().x);
    EXPECT_LT(entity->GetLocalBoxMax().x, entity->GetLocalBoxMin().x);
    EXPECT_EQ(1.0f, entity->GetPlacementMatrix()._11);
    EXPECT_EQ(1.0f, entity->GetTrajectoryMatrix()._44);
    EXPECT_EQ(0.0f, entity->GetWorldPlacementMatrix()._11);
    EXPECT_EQ(100.0f, entity->GetMass());
    EXPECT_EQ(0xFFFFFFFFu, entity->GetTextColor());
    EXPECT_EQ(32u, entity->GetTextFlags());
    EXPECT_TRUE(entity->IsEffectivelyVisible());
    EXPECT_NE(entity->GetSerial(), MakeEntity("second")->GetSerial());
}

TEST_F(EntityTest, WorldMatricesChainThroughParentRelativeEntitiesOnly) {
    CEntity* root = MakeEntity("root");
    CEntity* child = MakeEntity("child", root);
    CEntity* detached = MakeEntity("detached", child);
    detached->SetParentRelative(false);
    D3DXMatrixRotationZ(&root->GetPlacementMatrix(), D3DX_PI / 2);
    root->GetPlacementMatrix()._41 = 10;
    child->GetPlacementMatrix() = Translation(1, 0, 0);
    child->GetTrajectoryMatrix() = Translation(0, 2, 0);
    detached->GetPlacementMatrix() = Translation(0, 0, 5);
    root->UpdateWorldMatrices(true);

    // (1, 0, 0) rotated a quarter turn about z is (0, 1, 0), then moved by 10 along x.
    const D3DXMATRIX& childWorld = child->GetWorldPlacementMatrix();
    EXPECT_NEAR(10.0f, childWorld._41, 1e-5);
    EXPECT_NEAR(1.0f, childWorld._42, 1e-5);
    EXPECT_NEAR(1.0f, childWorld._12, 1e-5);
    EXPECT_EQ(1.0f, childWorld._44);
    EXPECT_EQ(0.0f, childWorld._14);
    EXPECT_EQ(2.0f, child->GetWorldTrajectoryMatrix()._42);
    EXPECT_EQ(5.0f, detached->GetWorldPlacementMatrix()._43);
    EXPECT_EQ(0.0f, detached->GetWorldPlacementMatrix()._41);
    EXPECT_EQ(10.0f, child->GetParentWorldPlacement()._41);
    EXPECT_EQ(1.0f, root->GetParentWorldTrajectory()._22);
    EXPECT_EQ(0.0f, root->GetParentWorldTrajectory()._41);
}

TEST_F(EntityTest, NonRecursiveUpdateLeavesChildrenAlone) {
    CEntity* root = MakeEntity("root");
    CEntity* child = MakeEntity("child", root);
    root->GetPlacementMatrix() = Translation(3, 0, 0);
    root->UpdateWorldMatrices(false);
    EXPECT_EQ(3.0f, root->GetWorldPlacementMatrix()._41);
    EXPECT_EQ(0.0f, child->GetWorldPlacementMatrix()._11);
}

TEST_F(EntityTest, VisibilityIsInheritedOnlyWhenTheChildAsksForIt) {
    CEntity* root = MakeEntity("root");
    CEntity* inheriting = MakeEntity("inheriting", root);
    CEntity* grandchild = MakeEntity("grandchild", inheriting);
    CEntity* independent = MakeEntity("independent", root);
    independent->SetInheritVisibility(false);
    root->SetVisible(false);
    root->RefreshVisibility();
    EXPECT_FALSE(root->IsEffectivelyVisible());
    EXPECT_FALSE(inheriting->IsEffectivelyVisible());
    EXPECT_FALSE(grandchild->IsEffectivelyVisible());
    EXPECT_TRUE(independent->IsEffectivelyVisible());

    root->SetVisible(true);
    root->RefreshVisibility();
    EXPECT_TRUE(grandchild->IsEffectivelyVisible());
}

TEST_F(EntityTest, WorldBoxesMirrorChildrenInXAndSkipSubtreesThatNeedNone) {
    CEntity* root = MakeEntity("root");
    CEntity* child = MakeEntity("child", root);
    root->SetLocalBox(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(2, 4, 6));
    child->SetLocalBox(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(2, 4, 6));
    root->GetPlacementMatrix() = Translation(10, 0, 0);
    root->UpdateWorldMatrices(true);
    root->UpdateWorldBoundingBox();
    ExpectVector(D3DXVECTOR3(11, 2, 3), root->GetWorldBoxMin());
    ExpectVector(D3DXVECTOR3(12, 4, 6), root->GetWorldBoxMax());
    ExpectVector(D3DXVECTOR3(8, 2, 3), child->GetWorldBoxMin());
    ExpectVector(D3DXVECTOR3(9, 4, 6), child->GetWorldBoxMax());

    root->SetNeedsWorldBoundingBox(false);
    root->GetPlacementMatrix() = Translation(20, 0, 0);
    root->UpdateWorldMatrices(true);
    root->UpdateWorldBoundingBox();
    ExpectVector(D3DXVECTOR3(8, 2, 3), child->GetWorldBoxMin());
}

TEST_F(EntityTest, PrefixComponentsGoToTheFrontSuffixComponentsToTheBack) {
    std::vector<std::string> journal;
    CEntity* entity = MakeEntity("e");
    entity->AddSuffixComponent(std::make_unique<CRecordingComponent>(journal, "suffix 1"));
    entity->AddPrefixComponent(std::make_unique<CRecordingComponent>(journal, "prefix 2"));
    entity->AddSuffixComponent(std::make_unique<CRecordingComponent>(journal, "suffix 2"));
    entity->AddPrefixComponent(std::make_unique<CRecordingComponent>(journal, "prefix 1"));
    EXPECT_EQ(entity, entity->GetPrefixComponents().front()->GetOwner());
    entity->Update();
    EXPECT_EQ((std::vector<std::string>{"prefix 1", "prefix 2", "suffix 1", "suffix 2"}), journal);
}

TEST_F(EntityTest, UpdateSkipsKilledChildrenAndComputesTheOwnWorldMatrix) {
    CEntity* root = MakeEntity("root");
    auto step = std::make_unique<CStepComponent>();
    root->AddSuffixComponent(std::move(step));
    std::vector<std::string> journal;
    CEntity* killed = MakeEntity("killed", root);
    killed->AddSuffixComponent(std::make_unique<CRecordingComponent>(journal, "killed"));
    CEntity* alive = MakeEntity("alive", root);
    alive->AddSuffixComponent(std::make_unique<CRecordingComponent>(journal, "alive"));
    killed->Kill();
    root->Update();
    root->Update();
    EXPECT_EQ(2.0f, root->GetWorldPlacementMatrix()._41);
    EXPECT_EQ((std::vector<std::string>{"alive", "alive"}), journal);
}

TEST_F(EntityTest, FindChildLooksAtDirectChildrenByExactName) {
    CEntity* root = MakeEntity("root");
    CEntity* water = MakeEntity("water", root);
    MakeEntity("deep", water);
    EXPECT_EQ(water, root->FindChild("water"));
    EXPECT_EQ(nullptr, root->FindChild("Water"));
    EXPECT_EQ(nullptr, root->FindChild("deep"));
}

TEST_F(EntityTest, AlphaOfAnEntityWithoutTextOrModelIsZero) {
    CEntity* entity = MakeEntity("plain");
    entity->SetAlpha(0x80, true);
    EXPECT_EQ(0, entity->GetAlpha());
}

}  // namespace
