#include <gtest/gtest.h>

#include <algorithm>

#include "ai/matrix_components.h"
#include "engine/entity_manager.h"
#include "resource/xml.h"
#include "tests/ai/component_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

using namespace zumbo::test;

namespace {

constexpr float kHalfPi = 1.5707964f;

class ParticleGeneratorTest : public ComponentTest {
protected:
    // Stores an entity document named `name`; with a lifetime in ticks it dies after that many.
    std::string Particle(const std::string& name, int lifeTicks = 0) {
        auto entity = MakeRoot("Entity", {{"Name", name}});
        enXml& list = AddElement(*entity, "AIList");
        if (lifeTicks > 0) {
            enXml& lifeTime = AddElement(list, "AILifeTime", {{"Name", "CAIDefaultLifeTime"}});
            AddValue(lifeTime, "fTimeToLive", std::to_string(lifeTicks / 60.0 + 0.001));
        }
        const std::string path = m_dir.WindowsPath() + name + ".xml";
        EXPECT_TRUE(entity->Save(path));
        return path;
    }

    // The names of the particles spawned and not yet activated, in creation order.
    static std::vector<std::string> NewNames() {
        std::vector<std::string> names;
        for (const CEntity* entity : enEntityManager::Instance().GetNewEntities()) {
            if (entity->GetName() != "mover") {
                names.push_back(entity->GetName());
            }
        }
        return names;
    }

    static int LiveParticles(const std::string& name) {
        const auto& manager = enEntityManager::Instance();
        const auto named = [&](const CEntity* entity) {
            return entity->GetName() == name && !entity->IsKilled();
        };
        return static_cast<int>(
            std::count_if(manager.GetActiveEntities().begin(), manager.GetActiveEntities().end(), named) +
            std::count_if(manager.GetNewEntities().begin(), manager.GetNewEntities().end(), named));
    }

    // The ticks (from 1) on which the generator spawned, over `ticks` updates.
    std::vector<int> SpawnTicks(const Properties& properties, int ticks) {
        const std::string path = Particle("dot");
        Properties all = properties;
        all.emplace_back("sParticleName", path);
        CEntity& owner = LoadEntity({});
        auto generator = Create({"CAIParticleGenerator", all}, &owner);
        std::vector<int> spawned;
        for (int tick = 1; tick <= ticks; ++tick) {
            const std::size_t before = NewNames().size();
            generator->Update();
            if (NewNames().size() > before) {
                spawned.push_back(tick);
            }
        }
        return spawned;
    }

    TempDir m_dir;
};

}  // namespace

TEST_F(ParticleGeneratorTest, CadenceSpawnsOnTheFirstTwoTicksThenEveryDelay) {
    EXPECT_EQ(SpawnTicks({}, 13), (std::vector<int>{1, 2, 7, 12}));
    EXPECT_EQ(SpawnTicks({{"iDelay", "3"}}, 8), (std::vector<int>{1, 2, 5, 8}));
}

TEST_F(ParticleGeneratorTest, DelayOfZeroOrLessSpawnsEveryTick) {
    EXPECT_EQ(SpawnTicks({{"iDelay", "0"}}, 5), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(SpawnTicks({{"iDelay", "-7"}}, 3), (std::vector<int>{1, 2, 3}));
}

TEST_F(ParticleGeneratorTest, NamesFromBothListsAreUsedInTurnAfterAdvancingFirst) {
    const std::string a = Particle("A");
    const std::string b = Particle("B");
    const std::string c = Particle("C");
    CEntity& owner = LoadEntity({});
    auto generator =
        Create({"CAIParticleGenerator",
                {{"iDelay", "1"}, {"sParticlesNames", a + "; " + b + ";"}, {"sParticleName", c}}},
               &owner);
    for (int tick = 0; tick < 5; ++tick) {
        generator->Update();
    }
    EXPECT_EQ(NewNames(), (std::vector<std::string>{"B", "C", "A", "B", "C"}));

    generator->Reset();
    generator->Update();
    EXPECT_EQ(NewNames().back(), "B");
}

TEST_F(ParticleGeneratorTest, NoNamesOrAMissingFileSpawnNothing) {
    CEntity& owner = LoadEntity({});
    auto empty = Create({"CAIParticleGenerator", {{"iDelay", "1"}, {"sParticlesNames", " , ;"}}}, &owner);
    auto missing = Create(
        {"CAIParticleGenerator", {{"iDelay", "1"}, {"sParticleName", m_dir.WindowsPath() + "none.xml"}}},
        &owner);
    const std::size_t before = NewNames().size();
    for (int tick = 0; tick < 3; ++tick) {
        empty->Update();
        missing->Update();
    }
    EXPECT_EQ(NewNames().size(), before);
}

TEST_F(ParticleGeneratorTest, RandomSpawnPicksOnlyListedFiles) {
    const std::string a = Particle("A");
    const std::string b = Particle("B");
    CEntity& owner = LoadEntity({});
    auto generator = Create({"CAIParticleGenerator",
                             {{"iDelay", "1"}, {"bRandomSpawn", "true"}, {"sParticlesNames", a + "," + b}}},
                            &owner);
    for (int tick = 0; tick < 40; ++tick) {
        generator->Update();
    }
    const std::vector<std::string> names = NewNames();
    ASSERT_EQ(names.size(), 40u);
    EXPECT_EQ(std::count(names.begin(), names.end(), "A") + std::count(names.begin(), names.end(), "B"), 40);
}

TEST_F(ParticleGeneratorTest, ParticlesLiveByTheirOwnLifetimeSoTheLiveCountLevelsOff) {
    // One particle per tick, each living three ticks after its activation.
    const std::string path = Particle("spark", 3);
    LoadEntity({{"CAIParticleGenerator", {{"iDelay", "1"}, {"sParticleName", path}}}});
    const int expected[] = {1, 2, 3, 3, 3, 3, 3, 3};
    for (const int count : expected) {
        enEntityManager::Instance().Tick();
        EXPECT_EQ(LiveParticles("spark"), count);
    }
}

TEST_F(ParticleGeneratorTest, InheritedSpawnMatrixAppliesTheOffsetAndTurnBeforeTheGenerator) {
    const std::string path = Particle("dot");
    // The generator stands at (5, 6, 7), turned 90 degrees about z.
    CEntity& owner =
        LoadEntity({}, "CAINoPhysics", nullptr, {{"p3Position", "5,6,7"}, {"p3Rotation", "0,0,90"}});
    owner.UpdateWorldMatrices(true);
    const std::string direction = "0," + std::to_string(kHalfPi) + ",0";
    auto inherit = Create({"CAIParticleGenerator",
                           {{"p3Source", "1,0,0"}, {"p3Direction", direction}, {"sParticleName", path}}},
                          &owner);
    auto flat = Create({"CAIParticleGenerator",
                        {{"p3Source", "1,0,0"},
                         {"p3Direction", direction},
                         {"bInheritSpawnerMatrix", "false"},
                         {"sParticleName", path}}},
                       &owner);
    inherit->Update();
    flat->Update();
    const auto& spawned = enEntityManager::Instance().GetNewEntities();
    ASSERT_GE(spawned.size(), 2u);
    const CEntity& first = *spawned[spawned.size() - 2];
    const CEntity& second = *spawned.back();

    // Turn about y, then about z; the offset (1, 0, 0) turned about z is (0, 1, 0).
    D3DXMATRIX inherited(0, 0, -1, 0,  //
                         -1, 0, 0, 0,  //
                         0, 1, 0, 0,   //
                         5, 7, 7, 1);
    ExpectMatrixNear(inherited, first.GetPlacementMatrix());
    ExpectMatrixNear(inherited, first.GetWorldPlacementMatrix());
    // Without inheritance only the generator's position counts.
    D3DXMATRIX positioned(0, 0, -1, 0,  //
                          0, 1, 0, 0,   //
                          1, 0, 0, 0,   //
                          6, 6, 7, 1);
    ExpectMatrixNear(positioned, second.GetPlacementMatrix());

    ASSERT_FALSE(first.GetSuffixComponents().empty());
    const auto* matrix = dynamic_cast<const CAIMatrix*>(first.GetSuffixComponents().back().get());
    ASSERT_NE(matrix, nullptr);
    ExpectMatrixNear(inherited, matrix->GetMatrix());
}

TEST_F(ParticleGeneratorTest, RandomDirectionTurnsTheParticleFirstAndKeepsTheSpawnUnturned) {
    const std::string path = Particle("dot");
    CEntity& owner = LoadEntity({}, "CAINoPhysics", nullptr, {{"p3Position", "1,2,3"}});
    owner.UpdateWorldMatrices(true);
    auto generator =
        Create({"CAIParticleGenerator",
                {{"bRandomDirection", "true"}, {"p3Direction", "1,1,1"}, {"sParticleName", path}}},
               &owner);
    generator->Update();
    const CEntity& particle = *enEntityManager::Instance().GetNewEntities().back();
    ExpectMatrixNear(Translation(1, 2, 3), particle.GetPlacementMatrix());
    ASSERT_FALSE(particle.GetPrefixComponents().empty());
    const auto* turn = dynamic_cast<const CAIMatrix*>(particle.GetPrefixComponents().front().get());
    ASSERT_NE(turn, nullptr);
    // A pure rotation: orthonormal rows, no translation.
    const D3DXMATRIX& m = turn->GetMatrix();
    for (int row = 0; row < 3; ++row) {
        EXPECT_NEAR(m(row, 0) * m(row, 0) + m(row, 1) * m(row, 1) + m(row, 2) * m(row, 2), 1.0f, 1e-5f);
    }
    EXPECT_FLOAT_EQ(m(3, 0), 0.0f);
    EXPECT_FLOAT_EQ(m(3, 3), 1.0f);
}
