#include <gtest/gtest.h>

#include <vector>

#include "render/d3d_file.h"
#include "tests/platform/d3d8_test_support.h"
#include "tests/support/matrix_expect.h"
#include "tests/support/xfile_writer.h"

namespace {

using zumbo::test::ExpectMatrixNear;
using zumbo::test::ExpectVectorNear;
using zumbo::test::XFileWriter;
using Encoding = XFileWriter::Encoding;

const std::vector<double> kTriangle = {0, 0, 0, 2, 0, 0, 0, 1, 1};
const std::vector<std::uint32_t> kOneFace = {1, 3, 0, 1, 2};

void WriteTriangleMesh(XFileWriter& writer, const std::string& name, double scale = 1.0) {
    std::vector<double> positions = kTriangle;
    for (double& p : positions) {
        p *= scale;
    }
    writer.Open("Mesh", name).Ints({3}).Floats(positions).Ints(kOneFace).Close();
}

D3DXMATRIX Mirror() {
    D3DXMATRIX mirror = zumbo::test::Identity();
    mirror._11 = -1.0f;
    return mirror;
}

class D3DFileTest : public zumbo::test::RecordingDeviceTest {
protected:
    HRESULT Load(CD3DFile& file, const XFileWriter& writer, Encoding encoding = Encoding::Text) {
        const std::vector<std::uint8_t> bytes = writer.Bytes(encoding);
        return file.CreateFromMemory(m_device, bytes.data(), static_cast<DWORD>(bytes.size()),
                                     "Z:\\models\\test.x");
    }

    void Draw(CD3DFile& file, const D3DXMATRIX& world) {
        ASSERT_EQ(m_device->BeginScene(), D3D_OK);
        file.Render(m_device, world);
        m_device->EndScene();
    }
};

// The sample's mesh spans x 0..2, y 0..1, z 0..1; the root mirrors x, then the frame moves
// by (10, 20, 30): x 8..10, y 20..21, z 30..31.
TEST_F(D3DFileTest, EveryEncodingLoadsTheSameVerticesFacesAndBox) {
    XFileWriter writer;
    zumbo::test::WriteSampleScene(writer);
    std::vector<float> firstVertices;
    for (const Encoding encoding :
         {Encoding::Text, Encoding::Binary, Encoding::TextZip, Encoding::BinaryZip}) {
        CD3DFile file;
        ASSERT_EQ(Load(file, writer, encoding), S_OK);
        ASSERT_NE(file.GetChild(), nullptr);
        CD3DMesh* mesh = file.GetChild()->GetMesh();
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(mesh->GetSystemMesh()->GetNumFaces(), 3u);
        BYTE* bytes = nullptr;
        mesh->GetSystemMesh()->LockVertexBuffer(0, &bytes);
        const auto* values = reinterpret_cast<const float*>(bytes);
        const std::vector<float> vertices(values, values + mesh->GetSystemMesh()->GetNumVertices() * 8);
        mesh->GetSystemMesh()->UnlockVertexBuffer();
        if (firstVertices.empty()) {
            firstVertices = vertices;
        }
        EXPECT_EQ(vertices, firstVertices);
        D3DXVECTOR3 min, max;
        file.GetBoundingBox(zumbo::test::Identity(), min, max);
        ExpectVectorNear(D3DXVECTOR3(8, 20, 30), min);
        ExpectVectorNear(D3DXVECTOR3(10, 21, 31), max);
        // Materials lose ambient and specular; texture names resolve beside the X-file.
        EXPECT_FLOAT_EQ(mesh->GetMaterial(1).Diffuse.r, 1.0f);
        EXPECT_FLOAT_EQ(mesh->GetMaterial(1).Specular.r, 0.0f);
        EXPECT_EQ(mesh->GetTextureName(1), "Z:\\models\\red.png");
        EXPECT_EQ(mesh->GetTextureName(0), "");
    }
}

TEST_F(D3DFileTest, ShadowModelIsNeitherDrawnNorBoxed) {
    XFileWriter writer;
    writer.Open("Frame", "$ShadowModel");
    WriteTriangleMesh(writer, "Shadow", 100.0);
    writer.Open("Frame", "UnderShadow");
    WriteTriangleMesh(writer, "Deeper", 50.0);
    writer.Close().Close();
    writer.Open("Frame", "Visible");
    writer.Open("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}).Close();
    WriteTriangleMesh(writer, "Seen");
    writer.Close();
    CD3DFile file;
    ASSERT_EQ(Load(file, writer), S_OK);
    Draw(file, zumbo::test::Identity());
    ASSERT_EQ(m_control->Record().draws.size(), 1u);
    ExpectMatrixNear(Mirror(), D3DXMATRIX(m_control->Record().draws[0].world));
    D3DXVECTOR3 min, max;
    file.GetBoundingBox(zumbo::test::Identity(), min, max);
    ExpectVectorNear(D3DXVECTOR3(-2, 0, 0), min);
    ExpectVectorNear(D3DXVECTOR3(0, 1, 1), max);
    // The shadow model's meshes still belong to the model.
    int meshes = 0;
    file.EnumMeshes([](CD3DMesh*, void* count) { return ++*static_cast<int*>(count) > 0; }, &meshes);
    EXPECT_EQ(meshes, 3);
}

TEST_F(D3DFileTest, TwoMeshesInOneFrameFailTheFile) {
    XFileWriter writer;
    writer.Open("Frame", "Twice");
    WriteTriangleMesh(writer, "One");
    WriteTriangleMesh(writer, "Two");
    writer.Close();
    CD3DFile file;
    EXPECT_EQ(Load(file, writer), E_FAIL);
}

TEST_F(D3DFileTest, FramesWithoutMatrixMirrorInXAndComposeParentFirst) {
    XFileWriter writer;
    writer.Open("Frame", "First").Close();
    writer.Open("Frame", "Plain");
    WriteTriangleMesh(writer, "Mesh");
    writer.Open("Frame", "Moved");
    writer.Open("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 0, 0, 1}).Close();
    WriteTriangleMesh(writer, "Inner");
    writer.Close().Close();
    CD3DFile file;
    ASSERT_EQ(Load(file, writer), S_OK);
    // Frames are inserted at the front: the file's last top-level frame comes first.
    ASSERT_NE(file.GetChild(), nullptr);
    EXPECT_EQ(file.GetChild()->GetName(), "Plain");
    ASSERT_NE(file.GetChild()->GetNext(), nullptr);
    EXPECT_EQ(file.GetChild()->GetNext()->GetName(), "First");
    ExpectMatrixNear(Mirror(), file.GetChild()->GetMatrix());

    Draw(file, zumbo::test::Translation(0, 7, 0));
    const auto& draws = m_control->Record().draws;
    ASSERT_EQ(draws.size(), 2u);
    // Plain: the placement, then the root's mirror, then its own mirror.
    ExpectMatrixNear(zumbo::test::Translation(0, 7, 0), D3DXMATRIX(draws[0].world));
    // Moved: then its translation by 5 in x.
    ExpectMatrixNear(zumbo::test::Translation(5, 7, 0), D3DXMATRIX(draws[1].world));
}

TEST_F(D3DFileTest, FlatteningTakesTheOneMeshInModelSpaceWithoutTheRootMirror) {
    XFileWriter writer;
    writer.Open("Frame", "Moved");
    writer.Open("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1}).Close();
    writer.Open("Mesh", "Only").Ints({3}).Floats(kTriangle).Ints(kOneFace);
    writer.Open("MeshNormals").Ints({1}).Floats({0, 0, 1}).Ints({1, 3, 0, 0, 0}).Close();
    writer.Open("MeshTextureCoords").Ints({3}).Floats({0, 0, 1, 0, 0, 1}).Close();
    writer.Close().Close();
    CD3DFile file;
    ASSERT_EQ(Load(file, writer), S_OK);
    D3DMATERIAL8 material{};
    IDirect3DTexture8* texture = nullptr;
    const std::vector<tFlatVertex>* vertices = nullptr;
    const std::vector<std::uint16_t>* indices = nullptr;
    ASSERT_TRUE(file.GetFlattened(material, texture, vertices, indices));
    ASSERT_EQ(vertices->size(), 3u);
    ASSERT_EQ(indices->size(), 3u);
    std::vector<D3DXVECTOR3> corners;
    for (const std::uint16_t index : *indices) {
        corners.push_back((*vertices)[index].position);
    }
    ExpectVectorNear(D3DXVECTOR3(10, 20, 30), corners[0]);
    ExpectVectorNear(D3DXVECTOR3(12, 20, 30), corners[1]);
    ExpectVectorNear(D3DXVECTOR3(10, 21, 31), corners[2]);
    ExpectVectorNear(D3DXVECTOR3(0, 0, 1), (*vertices)[(*indices)[1]].normal);
    EXPECT_FLOAT_EQ((*vertices)[(*indices)[1]].u, 1.0f);
    EXPECT_FLOAT_EQ(material.Diffuse.r, 1.0f);
}

TEST_F(D3DFileTest, ModelsWithTwoMeshesOrMaterialsAreNotFlattened) {
    XFileWriter twoMeshes;
    twoMeshes.Open("Frame", "A");
    WriteTriangleMesh(twoMeshes, "One");
    twoMeshes.Close().Open("Frame", "B");
    WriteTriangleMesh(twoMeshes, "Two");
    twoMeshes.Close();
    XFileWriter twoMaterials;
    twoMaterials.Open("Mesh").Ints({3}).Floats(kTriangle).Ints(kOneFace);
    twoMaterials.Open("MeshMaterialList").Ints({2, 1, 1});
    twoMaterials.Open("Material").Floats({1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}).Close();
    twoMaterials.Open("Material").Floats({1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}).Close();
    twoMaterials.Close().Close();
    for (const XFileWriter* writer : {&twoMeshes, &twoMaterials}) {
        CD3DFile file;
        ASSERT_EQ(Load(file, *writer), S_OK);
        D3DMATERIAL8 material{};
        IDirect3DTexture8* texture = nullptr;
        const std::vector<tFlatVertex>* vertices = nullptr;
        const std::vector<std::uint16_t>* indices = nullptr;
        EXPECT_FALSE(file.GetFlattened(material, texture, vertices, indices));
        EXPECT_FALSE(file.IsDeferrable());
    }
}

TEST_F(D3DFileTest, EmptyAndBrokenFilesBehave) {
    CD3DFile empty;
    ASSERT_EQ(Load(empty, XFileWriter()), S_OK);
    D3DXVECTOR3 min, max;
    empty.GetBoundingBox(zumbo::test::Identity(), min, max);
    EXPECT_EQ(min, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(max, D3DXVECTOR3(-1.1920929e-7f, -1.1920929e-7f, -1.1920929e-7f));

    XFileWriter writer;
    zumbo::test::WriteSampleScene(writer);
    const std::vector<std::uint8_t> bytes = writer.Bytes(Encoding::Binary);
    for (std::size_t cut = bytes.size() / 2; cut < bytes.size(); cut += 7) {
        CD3DFile broken;
        EXPECT_LT(broken.CreateFromMemory(m_device, bytes.data(), static_cast<DWORD>(cut), "Z:\\x.x"), 0);
    }
    CD3DFile missing;
    EXPECT_LT(missing.Create(m_device, "Z:\\no\\such\\model.x"), 0);
}

}  // namespace
