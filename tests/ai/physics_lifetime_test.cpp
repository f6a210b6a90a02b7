#include <gtest/gtest.h>

#include "ai/lifetime_components.h"
#include "tests/ai/component_fixture.h"

using namespace zumbo::test;

namespace {

class PhysicsLifeTimeTest : public ComponentTest {
protected:
    // The tick on which an entity with this lifetime component dies, or 0 if it lives through
    // the given number of ticks.
    int TickOfDeath(const ComponentRecipe& lifeTime, int ticks) {
        CEntity& entity = LoadEntity({});
        const std::unique_ptr<C_AI> component = Create(lifeTime, &entity);
        for (int tick = 1; tick <= ticks; ++tick) {
            component->Update();
            if (entity.IsKilled()) {
                return tick;
            }
        }
        return 0;
    }
};

}  // namespace

TEST_F(PhysicsLifeTimeTest, DefaultPhysicsDrawsTheEntityWhereItsTrajectoryPutsIt) {
    CEntity& entity =
        LoadEntity({{"CAIMoveY", {{"fSpeed", "60"}}}}, nullptr, nullptr, {{"p3Position", "5,0,0"}});
    Tick(entity, 2);
    ExpectMatrixNear(Translation(0, 2, 0), entity.GetPlacementMatrix());
    ExpectMatrixNear(Translation(0, 2, 0), entity.GetWorldPlacementMatrix());
}

TEST_F(PhysicsLifeTimeTest, NoPhysicsKeepsThePlacementWhileTheTrajectoryMoves) {
    CEntity& entity =
        LoadEntity({{"CAIMoveY", {{"fSpeed", "60"}}}}, "CAINoPhysics", nullptr, {{"p3Position", "5,0,0"}});
    Tick(entity, 2);
    ExpectMatrixNear(Translation(5, 0, 0), entity.GetWorldPlacementMatrix());
    ExpectMatrixNear(Translation(0, 2, 0), entity.GetWorldTrajectoryMatrix());
}

TEST_F(PhysicsLifeTimeTest, TimeToLiveCountsWholeTicks) {
    EXPECT_EQ(60, TickOfDeath({"CAIDefaultLifeTime", {{"fTimeToLive", "1"}}}, 100));
    EXPECT_EQ(1, TickOfDeath({"CAIDefaultLifeTime", {{"fTimeToLive", "0"}}}, 100));
    EXPECT_EQ(1, TickOfDeath({"CAIDefaultLifeTime", {{"fTimeToLive", "0.01"}}}, 100));
    EXPECT_EQ(3, TickOfDeath({"CAIDefaultLifeTime", {{"fTimeToLive", "0.05"}}}, 100));
}

TEST_F(PhysicsLifeTimeTest, AbsentOrNegativeTimeToLiveLivesForEver) {
    EXPECT_EQ(0, TickOfDeath({"CAIDefaultLifeTime", {}}, 1000));
    EXPECT_EQ(0, TickOfDeath({"CAIDefaultLifeTime", {{"fTimeToLive", "-5"}}}, 1000));
    CEntity& entity = LoadEntity({});
    EXPECT_EQ(-1, CAIDefaultLifeTime(&entity).GetTicksToLive());
}

TEST_F(PhysicsLifeTimeTest, TimeToLiveBeyondTheCounterIsClampedNotWrapped) {
    CEntity& entity = LoadEntity({});
    const std::unique_ptr<C_AI> huge = Create({"CAIDefaultLifeTime", {{"fTimeToLive", "1e30"}}}, &entity);
    EXPECT_EQ(2147483647, static_cast<CAIDefaultLifeTime&>(*huge).GetTicksToLive());
    const std::unique_ptr<C_AI> notANumber =
        Create({"CAIDefaultLifeTime", {{"fTimeToLive", "nan"}}}, &entity);
    EXPECT_EQ(-1, static_cast<CAIDefaultLifeTime&>(*notANumber).GetTicksToLive());
}

TEST_F(PhysicsLifeTimeTest, SingleTickAndSingleLoopLifeTimesDieOnTheFirstTick) {
    EXPECT_EQ(1, TickOfDeath({"CAISingleTickLifeTime", {}}, 10));
    EXPECT_EQ(1, TickOfDeath({"CAISingleLoopAnimationLifeTime", {}}, 10));
}

TEST_F(PhysicsLifeTimeTest, ASingleTickEntityRunsItsOtherComponentsOnce) {
    CEntity& entity = LoadEntity({{"CAIMoveY", {{"fSpeed", "60"}}}}, nullptr, "CAISingleTickLifeTime");
    Tick(entity, 1);
    EXPECT_TRUE(entity.IsKilled());
    ExpectMatrixNear(Translation(0, 1, 0), entity.GetPlacementMatrix());
}
