#include <algorithm>
#include <filesystem>

#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xml_builder.h"

namespace {

using zumbo::test::AddElement;
using zumbo::test::MakeRoot;

class EntityCatalogueTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        std::filesystem::create_directories(m_folder.Path() / "Entities");
        ASSERT_TRUE(zumbo::test::SaveEntityDocument(m_folder.WindowsPath(), "crate"));
    }

    void LoadCatalogue(const enXml& root) {
        ASSERT_TRUE(root.Save(m_folder.WindowsPath() + "AllEntities.xml"));
        ClearLog();
        Manager().LoadCatalogue(m_folder.WindowsPath());
    }

    std::vector<std::string> CatalogueNames() {
        std::vector<std::string> names;
        for (const auto& entry : Manager().GetCatalogue()) {
            names.push_back(entry.name);
        }
        return names;
    }

    enEntityManager& Manager() { return enEntityManager::Instance(); }

    zumbo::test::TempDir m_folder;
};

TEST_F(EntityCatalogueTest, BrokenEntriesAreReportedAndTheFirstOfDuplicatesWins) {
    auto root = MakeRoot("allentities");
    AddElement(*root, "Entity", {{"Name", "Crate"}, {"FileName", "crate.xml"}});
    AddElement(*root, "Thing", {{"Name", "x"}, {"FileName", "x.xml"}});
    AddElement(*root, "entity", {{"FileName", "x.xml"}});
    AddElement(*root, "Entity", {{"Name", "NoFile"}});
    AddElement(*root, "Entity", {{"Name", "CRATE"}, {"FileName", "other.xml"}});
    AddElement(*root, "ENTITY", {{"Name", "Barrel"}, {"FileName", "barrel.xml"}});
    LoadCatalogue(*root);

    EXPECT_EQ((std::vector<std::string>{"Crate", "Barrel"}), CatalogueNames());
    EXPECT_EQ(m_folder.WindowsPath() + "\\Entities\\crate.xml", Manager().GetCatalogue()[0].filePath);
    const std::vector<std::string> expected = {
        "Warning: AllEntities.xml\\AllEntities contains wrong tag: \"Thing\".",
        "Warning: AllEntities.xml\\AllEntities\\Entity has no \"Name\" attribute.",
        "Warning: AllEntities.xml\\AllEntities\\Entity has no \"FileName\" attribute.",
        "Warning: AllEntities.xml\\AllEntities\\Entity has duplicated \"Name\" attribute: CRATE -- skipping "
        "(using "
        "first one).",
    };
    auto messages = LogMessages();
    messages.erase(messages.begin(), std::find(messages.begin(), messages.end(), expected.front()));
    EXPECT_EQ(expected, messages);
}

TEST_F(EntityCatalogueTest, AMisnamedRootLeavesTheCatalogueEmpty) {
    auto root = MakeRoot("Entities");
    AddElement(*root, "Entity", {{"Name", "Crate"}, {"FileName", "crate.xml"}});
    LoadCatalogue(*root);
    EXPECT_TRUE(CatalogueNames().empty());
    EXPECT_TRUE(LogContains("Warning: AllEntities.xml was not loaded -- root must be named\"AllEntities\"."));
}

TEST_F(EntityCatalogueTest, CreatesByNameIgnoringCaseAndMovesUsedNamesToTheFront) {
    auto root = MakeRoot("AllEntities");
    AddElement(*root, "Entity", {{"Name", "Barrel"}, {"FileName", "missing.xml"}});
    AddElement(*root, "Entity", {{"Name", "Crate"}, {"FileName", "crate.xml"}});
    LoadCatalogue(*root);

    CEntity* crate = Manager().CreateEntityByName("cRaTe");
    ASSERT_NE(nullptr, crate);
    EXPECT_EQ("crate", crate->GetName());
    EXPECT_EQ((std::vector<std::string>{"Crate", "Barrel"}), CatalogueNames());

    EXPECT_EQ(nullptr, Manager().CreateEntityByName("Barrel"));
    EXPECT_EQ(nullptr, Manager().CreateEntityByName("Ghost"));
    EXPECT_TRUE(LogContains("Entity Manager Warning: Can't create entity by name: Ghost"));
}

TEST_F(EntityCatalogueTest, ClassIDsOtherThanExactlyCEntityAreRefused) {
    EXPECT_NE(nullptr, Manager().CreateEntityByClassID(""));
    EXPECT_NE(nullptr, Manager().CreateEntityByClassID("CEntity"));
    EXPECT_EQ(nullptr, Manager().CreateEntityByClassID("centity"));
    EXPECT_TRUE(LogContains("Failed to create entity by ClassID: \"centity\" -- unregistered ClassID."));

    auto special = MakeRoot("Entity", {{"Name", "special"}, {"sClassID", "CSpecial"}});
    AddElement(*special, "AIList");
    ASSERT_TRUE(special->Save(m_folder.WindowsPath() + "Entities\\special.xml"));
    EXPECT_EQ(nullptr, Manager().CreateEntityFromFile(m_folder.WindowsPath() + "Entities\\special.xml"));
}

TEST_F(EntityCatalogueTest, CreatingAtAMatrixPlacesTheEntityAndCanFlattenToARotationAboutZ) {
    auto root = MakeRoot("AllEntities");
    AddElement(*root, "Entity", {{"Name", "Crate"}, {"FileName", "crate.xml"}});
    LoadCatalogue(*root);
    D3DXMATRIX matrix(1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1);

    CEntity* kept = Manager().CreateEntityByNameAt("Crate", matrix, false);
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(3.0f, kept->GetPlacementMatrix()._13);
    EXPECT_EQ(1u, kept->GetSuffixComponents().size());

    CEntity* flat = Manager().CreateEntityByNameAt("Crate", matrix, true);
    ASSERT_NE(nullptr, flat);
    const D3DXMATRIX& m = flat->GetPlacementMatrix();
    EXPECT_EQ(5.0f, m._11);
    EXPECT_EQ(-4.0f, m._12);
    EXPECT_EQ(0.0f, m._13);
    EXPECT_EQ(4.0f, m._21);
    EXPECT_EQ(5.0f, m._22);
    EXPECT_EQ(0.0f, m._23);
    EXPECT_EQ(0.0f, m._31);
    EXPECT_EQ(0.0f, m._32);
    EXPECT_EQ(1.0f, m._33);
    EXPECT_EQ(12.0f, m._43);

    // The fixed matrix drives the trajectory from then on.
    Manager().Tick();
    EXPECT_EQ(-4.0f, flat->GetTrajectoryMatrix()._12);
    EXPECT_EQ(nullptr, Manager().CreateEntityByNameAt("Nothing", matrix, true));
}

}  // namespace
