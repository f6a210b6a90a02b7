#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "ai/screen_saver_logic.h"
#include "app/camera_manager.h"
#include "engine/entity_manager.h"
#include "engine/messages_broker.h"
#include "render/d3d_file.h"
#include "render/d3d_mesh.h"
#include "render/model.h"
#include "resource/paths.h"
#include "tests/ai/render_component_fixture.h"
#include "tests/support/program_folder_sandbox.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xfile_writer.h"
#include "tests/support/xml_builder.h"

namespace {

using namespace zumbo::test;

class ScreenSaverLogicTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        CAIScreenSaverLogic::ResetProcessState();
    }
};

TEST_F(ScreenSaverLogicTest, ConstructionPlacesTheSceneCamera) {
    auto logic = Create(
        {"CAIScreenSaverLogic", {{"fFOV", "60"}, {"p3EyePoint", "1,2,3"}, {"p3LookAtPoint", "4,5,6"}}});
    ASSERT_NE(logic, nullptr);
    const CCamera& camera = CCameraManager::Instance().SceneCamera();
    EXPECT_NEAR(camera.fieldOfView, 1.0471976f, 1e-6f) << "60 degrees is pi/3";
    EXPECT_FLOAT_EQ(camera.eye.x, 1.0f);
    EXPECT_FLOAT_EQ(camera.lookAt.z, 6.0f);
    EXPECT_FLOAT_EQ(camera.up.z, 1.0f);
    EXPECT_FLOAT_EQ(camera.nearPlane, 1.0f);
    EXPECT_FLOAT_EQ(camera.farPlane, 300.0f);

    Create({"CAIScreenSaverLogic", {}});
    EXPECT_NEAR(CCameraManager::Instance().SceneCamera().fieldOfView, 0.7853982f, 1e-6f)
        << "45 degrees by default";
    EXPECT_FLOAT_EQ(CCameraManager::Instance().SceneCamera().eye.y, -271.0f);
}

// A scene without its water is logged once and the logic goes on without it.
TEST_F(ScreenSaverLogicTest, MissingWaterIsLoggedOnceAndNothingElseBreaks) {
    CEntity& owner = LoadEntity({{"CAIScreenSaverLogic", {{"fXAmplitude", "1"}, {"fXFrequency", "1"}}}});
    Tick(owner, 5);
    const auto messages = LogMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(),
                         "Warning: the screen saver scene has no \"water\" child with a mesh."),
              1);
}

// "Back" in any case reads the game's registry key; without it the program says so and ends at
// once. Any other name does nothing.
TEST_F(ScreenSaverLogicTest, BackInAnyCaseWithoutTheGamesKeyLogsAndEndsAtOnce) {
    const TempDir folder;
    const ScopedEnvironmentVariable registry("ZUMBO_REGISTRY", (folder.Path() / "registry.reg").string());
    auto logic = Create({"CAIScreenSaverLogic", {}});
    auto& screenSaver = static_cast<CAIScreenSaverLogic&>(*logic);
    screenSaver.BackToGame("Backstage");
    EXPECT_EXIT(screenSaver.BackToGame("bACK"), ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(LogContains(
        "CAIScreenSaverLogic::BackToGame(): Failed to obtain necessary information from the registry"));
}

// The component on its scene: an owner with a mesh and a child "water" with a quad of positions,
// normals and texture coordinates, on the recording back end.
class ScreenSaverSceneTest : public RenderComponentTest {
protected:
    void SetUp() override {
        RenderComponentTest::SetUp();
        CAIScreenSaverLogic::ResetProcessState();
        m_sandbox.Write("rock.x", TriangleXFile());
        m_sandbox.Write("water.x", WaterQuadXFile());
        SaveModel("rock_model.xml", "rock.x");
        SaveModel("water_model.xml", "water.x");
    }

    // The owner entity with the component and its water child, both with their models.
    CEntity& Scene(const Properties& properties) {
        CEntity& owner = LoadEntity({{"CAIScreenSaverLogic", properties}});
        EXPECT_NE(owner.CreateModel(InSandbox("rock_model.xml")), nullptr);
        enXml element("Entity");
        element.AddAttribute("Name", "water");
        element.AddNewChild("AIList");
        auto* water = new CEntity();
        EXPECT_TRUE(water->LoadFromXml(element));
        EXPECT_NE(water->CreateModel(InSandbox("water_model.xml")), nullptr);
        owner.AddChild(water);
        return owner;
    }

    static CD3DMesh* FirstMesh(const CEntity& entity) {
        CD3DMesh* found = nullptr;
        entity.GetModel()->GetXModel()->EnumMeshes(
            [](CD3DMesh* mesh, void* context) {
                *static_cast<CD3DMesh**>(context) = mesh;
                return false;
            },
            &found);
        return found;
    }

    // The water mesh's vertices as the device holds them now.
    static std::vector<tWaterVertex> WaterVertices(const CEntity& owner) {
        CD3DMesh* water = FirstMesh(*owner.FindChild("water"));
        ID3DXMesh* mesh = water != nullptr ? water->GetDeviceMesh() : nullptr;
        EXPECT_NE(mesh, nullptr);
        if (mesh == nullptr) {
            return {};
        }
        BYTE* data = nullptr;
        EXPECT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const auto* first = reinterpret_cast<const tWaterVertex*>(data);
        std::vector<tWaterVertex> vertices(first, first + mesh->GetNumVertices());
        mesh->UnlockVertexBuffer();
        return vertices;
    }

    std::string InSandbox(const std::string& name) const {
        return MakeFullPath(m_sandbox.Relative() + "\\" + name);
    }

    ProgramFolderSandbox m_sandbox;

private:
    // A 1 x 0.5 quad at height 5 facing up.
    static std::vector<std::uint8_t> WaterQuadXFile() {
        XFileWriter writer;
        writer.Open("Mesh", "Water").Ints({4}).Floats({0, 0, 5, 1, 0, 5, 1, 0.5, 5, 0, 0.5, 5});
        writer.Ints({1, 4, 0, 1, 2, 3});
        writer.Open("MeshNormals").Ints({4}).Floats({0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1});
        writer.Ints({1, 4, 0, 1, 2, 3}).Close();
        writer.Open("MeshTextureCoords").Ints({4}).Floats({0, 0, 1, 0, 1, 1, 0, 1}).Close();
        writer.Close();
        return writer.Bytes(XFileWriter::Encoding::Text);
    }

    void SaveModel(const std::string& name, const std::string& xFile) const {
        auto document = MakeRoot("Model", {{"Name", name}});
        AddValue(*document, "FileName", xFile);
        ASSERT_TRUE(document->Save(InSandbox(name)));
    }
};

struct tExpectedVertex {
    float x, y, z;
    D3DXVECTOR3 normal;
};

void ExpectWater(const std::vector<tWaterVertex>& vertices, const std::vector<tExpectedVertex>& expected) {
    ASSERT_FALSE(vertices.empty());
    for (const tWaterVertex& vertex : vertices) {
        const auto match = std::find_if(expected.begin(), expected.end(), [&](const tExpectedVertex& e) {
            return e.x == vertex.x && e.y == vertex.y;
        });
        ASSERT_NE(match, expected.end()) << vertex.x << ", " << vertex.y;
        EXPECT_NEAR(vertex.z, match->z, 1e-4f) << vertex.x << ", " << vertex.y;
        D3DXVECTOR3 normal = match->normal;
        normal /= std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
        EXPECT_NEAR(vertex.nx, normal.x, 1e-4f) << vertex.x << ", " << vertex.y;
        EXPECT_NEAR(vertex.ny, normal.y, 1e-4f) << vertex.x << ", " << vertex.y;
        EXPECT_NEAR(vertex.nz, normal.z, 1e-4f) << vertex.x << ", " << vertex.y;
    }
}

// Hand-worked: the x wave (amplitude 2, frequency pi/2, speed 50) and the y wave (amplitude 0.5,
// frequency pi, speed 25). The first tick only sets up; on the second t = 0.02, so the x wave is
// shifted by 1 and the y wave by 0.5: ax = pi/2 at x = 0 and pi at x = 1; ay = pi/2 at y = 0 and
// pi at y = 0.5. Heights 5 + 2 cos ax + 0.5 cos ay; normals (-20 sin ax, -5 sin ay, 1).
// On the third tick t = 0.03: ax = 3 pi / 4 at x = 0 and ay = 3 pi / 4 at y = 0.
TEST_F(ScreenSaverSceneTest, WaveTimeIsTwoHundredthsOnTheSecondTickSeenInTheWaterHeights) {
    CEntity& owner = Scene({{"fXAmplitude", "2"},
                            {"fXFrequency", "1.5707963"},
                            {"fXPhase", "0"},
                            {"fXSpeed", "50"},
                            {"fYAmplitude", "0.5"},
                            {"fYFrequency", "3.1415927"},
                            {"fYPhase", "0"},
                            {"fYSpeed", "25"}});
    const D3DXVECTOR3 up(0, 0, 1);
    Tick(owner, 1);
    ExpectWater(WaterVertices(owner), {{0, 0, 5, up}, {1, 0, 5, up}, {1, 0.5f, 5, up}, {0, 0.5f, 5, up}});

    Tick(owner, 1);
    ExpectWater(WaterVertices(owner), {{0, 0, 5, D3DXVECTOR3(-20, -5, 1)},
                                       {1, 0, 3, D3DXVECTOR3(0, -5, 1)},
                                       {1, 0.5f, 2.5f, up},
                                       {0, 0.5f, 4.5f, D3DXVECTOR3(-20, 0, 1)}});

    Tick(owner, 1);
    const float half = std::sqrt(0.5f);
    const std::vector<tWaterVertex> third = WaterVertices(owner);
    const auto origin =
        std::find_if(third.begin(), third.end(), [](const tWaterVertex& v) { return v.x == 0 && v.y == 0; });
    ASSERT_NE(origin, third.end());
    EXPECT_NEAR(origin->z, 5 - 2 * half - 0.5f * half, 1e-4f) << "moved from the rest heights, not the last";
}

TEST_F(ScreenSaverSceneTest, AllWavesZeroLeaveTheWaterAsLoaded) {
    CEntity& owner = Scene({{"fXAmplitude", "0"},
                            {"fXFrequency", "0"},
                            {"fXPhase", "0"},
                            {"fXSpeed", "0"},
                            {"fYAmplitude", "0"},
                            {"fYFrequency", "0"},
                            {"fYPhase", "0"},
                            {"fYSpeed", "0"}});
    const std::vector<tWaterVertex> loaded = WaterVertices(owner);
    Tick(owner, 7);
    const std::vector<tWaterVertex> moved = WaterVertices(owner);
    ASSERT_EQ(moved.size(), loaded.size());
    EXPECT_EQ(std::memcmp(moved.data(), loaded.data(), loaded.size() * sizeof(tWaterVertex)), 0);
}

// The first tick tints every material of the owner's mesh and gives the water its alpha byte: the
// low 8 bits of 0.7 x 255 = 178.5, so 178.
TEST_F(ScreenSaverSceneTest, FirstTickTintsTheOwnerAndMakesTheWaterTranslucent) {
    CEntity& owner = Scene({{"vAmbient", "51,102,255"}, {"fWaterAlpha", "0.7"}});
    Tick(owner, 1);
    CD3DMesh* rock = FirstMesh(owner);
    ASSERT_NE(rock, nullptr);
    ASSERT_GT(rock->GetMaterialCount(), 0u);
    EXPECT_FLOAT_EQ(rock->GetMaterial(0).Ambient.r, 0.2f);
    EXPECT_FLOAT_EQ(rock->GetMaterial(0).Ambient.g, 0.4f);
    EXPECT_FLOAT_EQ(rock->GetMaterial(0).Ambient.b, 1.0f);
    EXPECT_FLOAT_EQ(rock->GetMaterial(0).Ambient.a, 1.0f);
    EXPECT_EQ(owner.FindChild("water")->GetModel()->GetAlpha(), 178);
}

// "Credits" comes once while the credits entity lives, and again once it has died.
TEST_F(ScreenSaverSceneTest, CreditsComeOnceWhileTheyLiveAndAgainAfterTheyDied) {
    auto catalogue = MakeRoot("AllEntities");
    AddElement(*catalogue, "Entity", {{"Name", "Credits"}, {"FileName", "credits.xml"}});
    ASSERT_TRUE(catalogue->Save(InSandbox("AllEntities.xml")));
    std::filesystem::create_directory(m_sandbox.HostPath() / "Entities");
    ASSERT_TRUE(SaveEntityDocument(InSandbox(""), "credits"));
    enEntityManager& entities = enEntityManager::Instance();
    entities.LoadCatalogue(InSandbox(""));
    Scene({});
    const auto credits = [&entities] {
        std::vector<CEntity*> found;
        for (const auto* list : {&entities.GetActiveEntities(), &entities.GetNewEntities()}) {
            std::copy_if(list->begin(), list->end(), std::back_inserter(found),
                         [](const CEntity* entity) { return entity->GetName() == "credits"; });
        }
        return found;
    };
    // Each press is published at the start of the next tick, which runs the logic.
    const auto press = [&entities](const char* button) {
        CMessagesBroker::Instance().Post({kMessageButtonPressed, button});
        entities.Tick();
    };
    entities.Tick();  // the first tick only sets up
    press("Credits");
    ASSERT_EQ(credits().size(), 1u);
    press("CREDITS");
    ASSERT_EQ(credits().size(), 1u);

    credits().front()->Kill();
    entities.Tick();
    ASSERT_TRUE(credits().empty());
    press("credits");
    EXPECT_EQ(credits().size(), 1u);
}

}  // namespace
