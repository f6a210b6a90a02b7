#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "ai/matrix_components.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "engine/ga_entity_manager.h"
#include "resource/xml_cache.h"
#include "tests/engine/test_components.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

namespace {

using zumbo::test::AddElement;
using zumbo::test::AddValue;
using zumbo::test::MakeRoot;

class EntityLoadingTest : public EngineTest {
protected:
    // Stores the document as <temp>\<relative> (lbm in place of xml) and returns its xml path.
    std::string Store(const std::string& relative, const enXml& root) {
        const std::filesystem::path host = m_folder.Path() / relative;
        std::filesystem::create_directories(host.parent_path());
        std::string path = m_folder.WindowsPath() + relative;
        std::replace(path.begin(), path.end(), '/', '\\');
        EXPECT_TRUE(root.Save(path)) << path;
        return path;
    }

    // A loadable entity: a name and an empty AIList.
    static std::unique_ptr<enXml> EntityDocument(const std::string& name) {
        auto root = MakeRoot("Entity", {{"Name", name}});
        AddElement(*root, "AIList");
        return root;
    }

    // A loadable entity whose SubEntityList names the given files.
    static std::unique_ptr<enXml> EntityDocumentListing(const std::string& name,
                                                        const std::vector<std::string>& subEntities) {
        auto root = EntityDocument(name);
        enXml& list = AddElement(*root, "SubEntityList");
        for (const std::string& fileName : subEntities) {
            AddElement(list, "SubEntity", {{"FileName", fileName}});
        }
        return root;
    }

    static int Depth(const CEntity& entity) {
        int depth = 0;
        for (const CEntity* node = &entity; node->FirstChild(); node = node->FirstChild()) {
            ++depth;
        }
        return depth;
    }

    static const CEntity& DeepestDescendant(const CEntity& entity) {
        const CEntity* node = &entity;
        while (node->FirstChild()) {
            node = node->FirstChild();
        }
        return *node;
    }

    std::string SourceNameOf(const std::string& relative) {
        std::string path = m_folder.WindowsPath() + relative;
        std::replace(path.begin(), path.end(), '/', '\\');
        return XmlCache::Instance().Load(path)->GetSourceName();
    }

    CEntity* Load(const std::string& relative, const enXml& root) {
        m_lastPath = Store(relative, root);
        return enEntityManager::Instance().CreateEntityFromFile(m_lastPath);
    }

    // The name the log uses for the last stored document.
    std::string LastSourceName() { return XmlCache::Instance().Load(m_lastPath)->GetSourceName(); }

    zumbo::test::TempDir m_folder;
    std::string m_lastPath;
};

TEST_F(EntityLoadingTest, ReadsEveryFlagAndKeepsDefaultsForMissingOnes) {
    auto root = EntityDocument("Crate");
    AddValue(*root, "bVisible", "false");
    AddValue(*root, "bNeedsWorldBB", "FALSE");
    AddValue(*root, "bInheritVisibility", "false");
    AddValue(*root, "bPausable", "true");
    AddValue(*root, "bParentRelativeTransform", "false");
    AddValue(*root, "fMass", "2.5");
    CEntity* entity = Load("Entities/crate.xml", *root);
    ASSERT_NE(nullptr, entity);
    EXPECT_EQ("Crate", entity->GetName());
    EXPECT_FALSE(entity->IsVisible());
    EXPECT_FALSE(entity->IsEffectivelyVisible());
    EXPECT_FALSE(entity->NeedsWorldBoundingBox());
    EXPECT_FALSE(entity->InheritsVisibility());
    EXPECT_TRUE(entity->IsPausable());
    EXPECT_FALSE(entity->IsParentRelative());
    EXPECT_FALSE(entity->IsViewOriented());
    EXPECT_FALSE(entity->IsTextLabel());
    EXPECT_EQ(2.5f, entity->GetMass());
    EXPECT_EQ(0u, entity->GetHitGroups());
    EXPECT_TRUE(LogContains("Warning: Entity XML \"" + LastSourceName() + "\" does not contain Model tag."));
}

TEST_F(EntityLoadingTest, AnEmptyAIListGetsDefaultPhysicsAndLifeTimeWithWarnings) {
    CEntity* entity = Load("Entities/plain.xml", *EntityDocument("Plain"));
    ASSERT_NE(nullptr, entity);
    EXPECT_NE(nullptr, entity->GetPhysicsComponent());
    EXPECT_NE(nullptr, entity->GetLifeTimeComponent());
    EXPECT_EQ(entity, entity->GetPhysicsComponent()->GetOwner());
    EXPECT_EQ(entity, entity->GetLifeTimeComponent()->GetOwner());
    EXPECT_TRUE(LogContains(
        "Warning: entity \"Plain\" does not contain AIPhysics tag. Creating default Physics AI."));
    EXPECT_TRUE(LogContains(
        "Warning: entity \"Plain\" does not contain AILifeTime tag. Creating default LifeTime AI."));
    EXPECT_TRUE(LogContains("Warning: entity \"Plain\" does not contain valid trajectory AIs."));
}

TEST_F(EntityLoadingTest, UnusableComponentsAreLoggedAndSkippedAndLoadingGoesOn) {
    auto root = EntityDocument("Broken");
    enXml& aiList = *root->GetChild("AIList");
    enXml& prefix = AddElement(aiList, "PrefixAIList");
    AddElement(prefix, "AI", {{"Name", "CAINoSuchThing"}});
    AddElement(prefix, "AI");
    AddElement(prefix, "AI", {{"Name", ""}});
    AddElement(prefix, "Behaviour", {{"Name", "CAIMoveY"}});
    enXml& suffix = AddElement(aiList, "SuffixAIList");
    AddElement(suffix, "ai", {{"Name", "CAIMoveY"}});
    AddElement(aiList, "AIPhysics", {{"Name", "CAIMatrix"}});
    AddElement(aiList, "AILifeTime", {{"Name", "CAIFrontendControl"}});
    CEntity* entity = Load("Entities/broken.xml", *root);
    ASSERT_NE(nullptr, entity);
    EXPECT_TRUE(entity->GetPrefixComponents().empty());
    EXPECT_TRUE(entity->GetSuffixComponents().empty());
    EXPECT_NE(nullptr, entity->GetPhysicsComponent());
    EXPECT_NE(nullptr, entity->GetLifeTimeComponent());
    const std::vector<std::string> expected = {
        "Failed to create AI by name: \"CAINoSuchThing\" -- unregistered class name (for the entity "
        "\"Broken\").",
        "Warning: wrong tag named \"Behaviour\" found in the prefix AI list of entity \"Broken\". Skipping.",
        "Warning: \"PrefixAIList\" of entity \"Broken\" does not contain valid AIs.",
        "Warning: wrong tag named \"ai\" found in the suffix AI list of entity \"Broken\". Skipping.",
        "Warning: \"SuffixAIList\" of entity Broken does not contain valid AIs.",
        "Failed to create AI by name: \"CAIMatrix\" -- unregistered class name.",
        "Warning: can't create physics AI for entity \"Broken\". Creating default Physics AI.",
        "Failed to create AI by name: \"CAIFrontendControl\" -- unregistered class name.",
        "Warning: can't create LifeTime AI for entity \"Broken\". Creating default LifeTime AI.",
        "Warning: entity \"Broken\" does not contain valid trajectory AIs.",
    };
    std::vector<std::string> messages = LogMessages();
    messages.erase(messages.begin(), std::find(messages.begin(), messages.end(), expected.front()));
    EXPECT_EQ(expected, messages);
}

TEST_F(EntityLoadingTest, WrongRootMissingAIListAndModelsFailTheLoad) {
    auto lowerCase = EntityDocument("Lower");
    lowerCase->SetName("entity");
    EXPECT_EQ(nullptr, Load("Entities/lower.xml", *lowerCase));
    EXPECT_TRUE(LogMessages().empty() || LogMessages().front().rfind("XML Cache miss", 0) == 0);

    auto noAIList = MakeRoot("Entity", {{"Name", "NoList"}});
    EXPECT_EQ(nullptr, Load("Entities/nolist.xml", *noAIList));
    EXPECT_TRUE(LogContains("Error: entity XML " + LastSourceName() + " does not contain AIList tag."));

    auto modelWithoutFile = EntityDocument("NoFile");
    AddElement(*modelWithoutFile, "Model");
    EXPECT_EQ(nullptr, Load("Entities/nofile.xml", *modelWithoutFile));
    EXPECT_TRUE(LogContains("Failed to create Entity by XML: " + LastSourceName() +
                            " -- Model tag does not contain FileName attribute."));

    auto withModel = EntityDocument("Modelled");
    AddElement(*withModel, "Model", {{"FileName", "rock.xml"}});
    EXPECT_EQ(nullptr, Load("Entities/modelled.xml", *withModel));

    auto emptyModelName = EntityDocument("EmptyName");
    AddElement(*emptyModelName, "model", {{"FileName", ""}});
    EXPECT_EQ(nullptr, Load("Entities/emptyname.xml", *emptyModelName));

    // Every failed entity is gone again.
    EXPECT_TRUE(enEntityManager::Instance().GetNewEntities().empty());
}

TEST_F(EntityLoadingTest, TextLabelsJoinTranslatedLinesAndReadColourAndFlags) {
    auto root = EntityDocument("Label");
    AddValue(*root, "bTextLabel", "true");
    AddValue(*root, "sFontName", "Arial");
    AddValue(*root, "dwTextColor", "80ff0000");
    AddValue(*root, "sTextFlags", "D3DFONT_CENTERED_X;D3DFONT_FILTERED");
    AddValue(*root, "sDefaultText", "first line");
    AddValue(*root, "sdefaulttext", "not a line: the name differs in case");
    AddValue(*root, "sDefaultText", "second line");
    AddElement(*root, "Model", {{"FileName", "ignored for labels"}});
    CEntity* entity = Load("Entities/label.xml", *root);
    ASSERT_NE(nullptr, entity);
    EXPECT_TRUE(entity->IsTextLabel());
    EXPECT_EQ("Arial", entity->GetFontName());
    EXPECT_EQ("first line\nsecond line", entity->GetText());
    EXPECT_EQ(0x80FF0000u, entity->GetTextColor());
    EXPECT_EQ(0x21u, entity->GetTextFlags());
    EXPECT_EQ(0x80, entity->GetAlpha());
    entity->SetAlpha(0x10, false);
    EXPECT_EQ(0x10FF0000u, entity->GetTextColor());
}

TEST_F(EntityLoadingTest, TextLabelsSortAsTwoDAlphaByTheirDepth) {
    auto root = EntityDocument("Label");
    AddValue(*root, "bTextLabel", "true");
    AddValue(*root, "p3Position", "320,240,0.25");
    CEntity* entity = Load("Entities/depth_label.xml", *root);
    ASSERT_NE(nullptr, entity);
    entity->UpdateWorldMatrices(true);
    entity->ComputeSortKey(D3DXVECTOR3(0, 0, 1));
    EXPECT_TRUE(entity->Is2D());
    EXPECT_TRUE(entity->IsAlpha());
    EXPECT_EQ(0.25f, entity->GetSortKey());
}

TEST_F(EntityLoadingTest, PlacementIsRotationRowsScaledPlusPosition) {
    auto root = EntityDocument("Placed");
    AddValue(*root, "p3Position", "1,2,3");
    AddValue(*root, "p3Rotation", "90,0,0");
    AddValue(*root, "p3Scale", "2,3,4");
    CEntity* entity = Load("Entities/placed.xml", *root);
    ASSERT_NE(nullptr, entity);
    const D3DXMATRIX& m = entity->GetPlacementMatrix();
    // A pitch of 90 degrees: row 2 becomes (0, 0, 1) and row 3 (0, -1, 0), then scaled.
    EXPECT_NEAR(2.0f, m._11, 1e-6);
    EXPECT_NEAR(0.0f, m._22, 1e-6);
    EXPECT_NEAR(3.0f, m._23, 1e-6);
    EXPECT_NEAR(-4.0f, m._32, 1e-6);
    EXPECT_NEAR(0.0f, m._33, 1e-6);
    EXPECT_EQ(1.0f, m._41);
    EXPECT_EQ(2.0f, m._42);
    EXPECT_EQ(3.0f, m._43);
    EXPECT_EQ(1.0f, m._44);
}

TEST_F(EntityLoadingTest, RotationFollowsTheYawPitchRollRows) {
    auto root = EntityDocument("Turned");
    AddValue(*root, "p3Rotation", "30,45,60");
    CEntity* entity = Load("Entities/turned.xml", *root);
    ASSERT_NE(nullptr, entity);
    const float toRadians = D3DX_PI / 180.0f;
    const float cx = std::cos(30 * toRadians), sx = std::sin(30 * toRadians);
    const float cy = std::cos(45 * toRadians), sy = std::sin(45 * toRadians);
    const float cz = std::cos(60 * toRadians), sz = std::sin(60 * toRadians);
    const D3DXMATRIX& m = entity->GetPlacementMatrix();
    EXPECT_NEAR(cy * cz, m._11, 1e-6);
    EXPECT_NEAR(-sy, m._13, 1e-6);
    EXPECT_NEAR(sx * sy * cz - cx * sz, m._21, 1e-6);
    EXPECT_NEAR(sx * cy, m._23, 1e-6);
    EXPECT_NEAR(cx * sy * sz - sx * cz, m._32, 1e-6);
    EXPECT_EQ(0.0f, m._41);
}

TEST_F(EntityLoadingTest, SubEntitiesResolveRelativeToTheirDocumentAndGetOffsetsOnlyWhenPlaced) {
    Store("Entities/Parts/wheel.xml", *EntityDocument("wheel"));
    auto root = EntityDocument("car");
    AddValue(*root, "p3Position", "10,0,0");
    enXml& list = AddElement(*root, "SubEntityList");
    AddElement(list, "SubEntity", {{"FileName", "Parts\\wheel.xml"}});
    enXml& placed = AddElement(list, "SubEntity", {{"FileName", "./missing.xml"}});
    (void)placed;
    enXml& offset = AddElement(list, "SubEntity", {{"FileName", "../Entities/Parts/WHEEL.xml"}});
    AddValue(offset, "p3Position", "0,5,0");
    enXml& scaled = AddElement(list, "SubEntity", {{"FileName", "Parts/wheel.xml"}});
    AddValue(scaled, "p3Scale", "1,1,1.001");
    enXml& exact = AddElement(list, "SubEntity", {{"FileName", "Parts/wheel.xml"}});
    AddValue(exact, "p3Position", "0,0,0");
    AddValue(exact, "p3Rotation", "0,0,0");
    AddValue(exact, "p3Scale", "1,1,1");
    AddElement(list, "SubEntity");
    AddElement(list, "subentity", {{"FileName", "Parts/wheel.xml"}});

    CEntity* car = Load("Entities/car.xml", *root);
    ASSERT_NE(nullptr, car);
    std::vector<CEntity*> wheels;
    for (CEntity* child = car->FirstChild(); child; child = child->NextSibling()) {
        wheels.push_back(child);
    }
    ASSERT_EQ(4u, wheels.size());
    EXPECT_TRUE(wheels[0]->GetSuffixComponents().empty());
    ASSERT_EQ(1u, wheels[1]->GetSuffixComponents().size());
    EXPECT_NE(nullptr, dynamic_cast<CAIMatrix*>(wheels[1]->GetSuffixComponents()[0].get()));
    EXPECT_EQ(wheels[1], wheels[1]->GetSuffixComponents()[0]->GetOwner());
    EXPECT_EQ(5.0f, wheels[1]->GetPlacementMatrix()._42);
    EXPECT_EQ(1u, wheels[2]->GetSuffixComponents().size());
    EXPECT_NEAR(1.001f, wheels[2]->GetPlacementMatrix()._33, 1e-6);
    EXPECT_TRUE(wheels[3]->GetSuffixComponents().empty());
}

TEST_F(EntityLoadingTest, TheTickRunsPhysicsAfterTheListsAndBeforeTheWorldMatrices) {
    CEntity* entity = Load("Entities/mover.xml", *EntityDocument("mover"));
    ASSERT_NE(nullptr, entity);
    entity->GetPlacementMatrix()._43 = 7.0f;
    entity->AddSuffixComponent(std::make_unique<CStepComponent>());
    entity->Update();
    // The default physics copies the trajectory into the placement.
    EXPECT_EQ(1.0f, entity->GetWorldPlacementMatrix()._41);
    EXPECT_EQ(0.0f, entity->GetWorldPlacementMatrix()._43);
}

// Each level of a chain is a different file, so only the depth bound stops it.
TEST_F(EntityLoadingTest, AChainOfSubEntityFilesStopsAtTheNestingLimit) {
    const int files = gaEntityManager::kMaxNestedLoads + 5;
    for (int level = 1; level < files; ++level) {
        const std::string name = "level" + std::to_string(level);
        Store("Entities/" + name + ".xml",
              *EntityDocumentListing(name, {"level" + std::to_string(level + 1) + ".xml"}));
    }
    CEntity* entity = Load("Entities/level0.xml", *EntityDocumentListing("level0", {"level1.xml"}));
    ASSERT_NE(nullptr, entity);
    EXPECT_EQ(gaEntityManager::kMaxNestedLoads - 1, Depth(*entity));
    EXPECT_EQ("level31", DeepestDescendant(*entity).GetName());
    EXPECT_TRUE(LogContains("Error: entity XML " + SourceNameOf("Entities/level32.xml") +
                            " nests sub-entities deeper than 32 levels. Skipping."));
}

TEST_F(EntityLoadingTest, AnEntityThatListsItselfTwiceLoadsOnceWithoutChildren) {
    CEntity* entity =
        Load("Entities/loop.xml", *EntityDocumentListing("loop", {"loop.xml", "../Entities/LOOP.xml"}));
    ASSERT_NE(nullptr, entity);
    EXPECT_EQ(nullptr, entity->FirstChild());
    EXPECT_EQ(1u, enEntityManager::Instance().GetNewEntities().size());
    const std::string cycleLine = "Error: entity XML " + LastSourceName() +
                                  " lists itself as a sub-entity: " + LastSourceName() + " -> " +
                                  LastSourceName() + ". Skipping.";
    const std::vector<std::string> log = LogMessages();
    EXPECT_EQ(2, std::count(log.begin(), log.end(), cycleLine));
}

TEST_F(EntityLoadingTest, ACycleThroughAnotherFileStopsWhereItClosesAndNamesEveryFile) {
    Store("Entities/wheel.xml", *EntityDocumentListing("wheel", {"car.xml", "hub.xml"}));
    Store("Entities/hub.xml", *EntityDocument("hub"));
    CEntity* car = Load("Entities/car.xml", *EntityDocumentListing("car", {"wheel.xml"}));
    ASSERT_NE(nullptr, car);
    const CEntity* wheel = car->FirstChild();
    ASSERT_NE(nullptr, wheel);
    EXPECT_EQ("wheel", wheel->GetName());
    ASSERT_NE(nullptr, wheel->FirstChild());
    EXPECT_EQ("hub", wheel->FirstChild()->GetName());
    EXPECT_EQ(nullptr, wheel->FirstChild()->NextSibling());
    const std::string carName = SourceNameOf("Entities/car.xml");
    EXPECT_TRUE(LogContains("Error: entity XML " + carName + " lists itself as a sub-entity: " + carName +
                            " -> " + SourceNameOf("Entities/wheel.xml") + " -> " + carName + ". Skipping."));

    // The path is unwound: loading the same file again, outside any load, works.
    EXPECT_NE(nullptr, enEntityManager::Instance().CreateEntityFromFile(m_lastPath));
}

}  // namespace
