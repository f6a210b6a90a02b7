// Ticking 10,000 entities (5,000 roots with one child each, two trajectory components per
// entity) through the engine, against a hand-written loop that computes the same matrices.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "ai/affine_math.h"
#include "ai/motion_rules.h"
#include "bench/ratio_report.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "resource/xml.h"

namespace {

constexpr int kRoots = 5000;
constexpr int kEntities = 2 * kRoots;

void AddComponent(enXml& list, const char* className, const char* property, const char* value) {
    enXml* component = list.AddNewChild("AI");
    component->AddAttribute("Name", className);
    component->AddNewChild(property)->AddAttribute("Value", value);
}

// An entity turning about y at 180 degrees per second and climbing 60 units per second.
CEntity* NewMovingEntity() {
    enXml root("Entity");
    root.AddAttribute("Name", "mover");
    root.AddNewChild("bNeedsWorldBB")->AddAttribute("Value", "false");
    enXml* suffix = root.AddNewChild("AIList")->AddNewChild("SuffixAIList");
    AddComponent(*suffix, "CAIRotateY", "fRotateSpeed", "180");
    AddComponent(*suffix, "CAIMoveY", "fSpeed", "60");
    auto* entity = new CEntity();
    entity->LoadFromXml(root);
    return entity;
}

std::vector<CEntity*> BuildScene() {
    std::vector<CEntity*> roots;
    roots.reserve(kRoots);
    for (int i = 0; i < kRoots; ++i) {
        CEntity* root = NewMovingEntity();
        root->AddChild(NewMovingEntity());
        roots.push_back(root);
    }
    enEntityManager::Instance().Tick();  // activates the new entities
    return roots;
}

void TearDownScene() {
    enEntityManager::Instance().DeleteAllEntities();
}

void BM_EngineEntityTick(benchmark::State& state) {
    const std::vector<CEntity*> roots = BuildScene();
    for (auto _ : state) {
        for (CEntity* root : roots) {
            root->Update();
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kEntities);
    TearDownScene();
}
BENCHMARK(BM_EngineEntityTick)->Unit(benchmark::kMicrosecond);

void BM_EntityManagerTick(benchmark::State& state) {
    BuildScene();
    for (auto _ : state) {
        enEntityManager::Instance().Tick();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kEntities);
    TearDownScene();
}
BENCHMARK(BM_EntityManagerTick)->Unit(benchmark::kMicrosecond);

// The same motion with plain data and no components.
struct tMover {
    float angle = 0.0f;
    float distance = 0.0f;
    D3DXMATRIX trajectory;
    D3DXMATRIX placement;
    D3DXMATRIX worldTrajectory;
    D3DXMATRIX worldPlacement;
};

void MoveByHand(tMover& mover, float turnSpeed, float climbSpeed) {
    mover.angle = AdvanceAngle(mover.angle, turnSpeed);
    mover.distance += climbSpeed;
    D3DXMatrixRotationY(&mover.trajectory, mover.angle);
    mover.trajectory._42 += mover.distance;
    mover.placement = mover.trajectory;
}

void BM_HandWrittenLoop(benchmark::State& state) {
    std::vector<tMover> movers(kEntities);
    const float turnSpeed = DegreesPerSecondToRadiansPerTick(180.0f);
    const float climbSpeed = PerTick(60.0f);
    for (auto _ : state) {
        for (int i = 0; i < kEntities; i += 2) {
            tMover& parent = movers[i];
            tMover& child = movers[i + 1];
            MoveByHand(parent, turnSpeed, climbSpeed);
            parent.worldPlacement = parent.placement;
            parent.worldTrajectory = parent.trajectory;
            MoveByHand(child, turnSpeed, climbSpeed);
            child.worldPlacement = MultiplyAffine(child.placement, parent.worldPlacement);
            child.worldTrajectory = MultiplyAffine(child.trajectory, parent.worldTrajectory);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kEntities);
}
BENCHMARK(BM_HandWrittenLoop)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarksWithRatios(
        argc, argv,
        {{"engine tick vs hand-written loop", "BM_EngineEntityTick", "BM_HandWrittenLoop"},
         {"manager tick vs hand-written loop", "BM_EntityManagerTick", "BM_HandWrittenLoop"}});
}
