#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <deque>
#include <vector>

#include "platform/d3dx8/mesh.h"
#include "tests/platform/d3d8_test_support.h"
#include "tests/support/xfile_writer.h"

namespace {

using zumbo::test::XFileWriter;

constexpr DWORD kNone = 0xFFFFFFFF;

struct PositionNormalUv {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    float u, v;
};

// The first Mesh object found in the file, at the top level or inside a top-level frame.
IDirectXFileData* FirstMesh(const std::vector<std::uint8_t>& bytes) {
    IDirectXFile* file = nullptr;
    DirectXFileCreate(&file);
    file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES);
    DXFILELOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
    IDirectXFileEnumObject* enumObject = nullptr;
    IDirectXFileData* found = nullptr;
    if (file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumObject) == DXFILE_OK) {
        IDirectXFileData* data = nullptr;
        while (found == nullptr && enumObject->GetNextDataObject(&data) == DXFILE_OK) {
            IDirectXFileData* child = nullptr;
            if (data->GetType() == dxfile::XDataType::Mesh) {
                found = data;
                continue;
            }
            while (found == nullptr && data->GetNextObject(&child) == DXFILE_OK) {
                if (child->GetType() == dxfile::XDataType::Mesh) {
                    found = child;
                } else {
                    child->Release();
                }
            }
            data->Release();
        }
        enumObject->Release();
    }
    file->Release();
    return found;
}

std::vector<std::uint8_t> SampleScene() {
    XFileWriter writer;
    zumbo::test::WriteSampleScene(writer);
    return writer.Bytes(XFileWriter::Encoding::Text);
}

// A strip of triangles (i, i+1, i+2) over a row of vertices.
std::vector<std::uint8_t> StripMesh(std::uint32_t vertices) {
    std::vector<double> positions;
    for (std::uint32_t i = 0; i < vertices; ++i) {
        positions.insert(positions.end(), {double(i), double(i % 2), 0.0});
    }
    std::vector<std::uint32_t> faces{vertices - 2};
    for (std::uint32_t i = 0; i + 2 < vertices; ++i) {
        faces.insert(faces.end(), {3, i, i + 1, i + 2});
    }
    XFileWriter writer;
    writer.Open("Mesh").Ints({vertices}).Floats(positions).Ints(faces).Close();
    return writer.Bytes(XFileWriter::Encoding::Binary);
}

std::vector<DWORD> Indices(ID3DXMesh* mesh) {
    BYTE* bytes = nullptr;
    mesh->LockIndexBuffer(0, &bytes);
    std::vector<DWORD> indices(mesh->GetNumFaces() * 3);
    const bool wide = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (wide) {
            std::memcpy(&indices[i], bytes + i * 4, 4);
        } else {
            WORD index = 0;
            std::memcpy(&index, bytes + i * 2, 2);
            indices[i] = index;
        }
    }
    mesh->UnlockIndexBuffer();
    return indices;
}

// Vertices a FIFO cache of 16 entries misses when the faces are drawn in order.
std::size_t FifoMisses(const std::vector<DWORD>& indices) {
    std::deque<DWORD> cache;
    std::size_t misses = 0;
    for (const DWORD index : indices) {
        if (std::find(cache.begin(), cache.end(), index) == cache.end()) {
            ++misses;
            cache.push_back(index);
            if (cache.size() > 16) {
                cache.pop_front();
            }
        }
    }
    return misses;
}

class D3DXMeshTest : public zumbo::test::RecordingDeviceTest {
protected:
    ID3DXMesh* LoadSample(ID3DXBuffer** adjacency = nullptr, ID3DXBuffer** materials = nullptr,
                          DWORD* materialCount = nullptr) {
        IDirectXFileData* data = FirstMesh(SampleScene());
        EXPECT_NE(data, nullptr);
        ID3DXMesh* mesh = nullptr;
        EXPECT_EQ(D3DXLoadMeshFromXof(data, D3DXMESH_SYSTEMMEM, m_device, adjacency, materials, materialCount,
                                      &mesh),
                  D3D_OK);
        data->Release();
        return mesh;
    }
};

TEST_F(D3DXMeshTest, PolygonsAreFannedCornersSplitByNormalAndFacesSortedByMaterial) {
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD materialCount = 0;
    ID3DXMesh* mesh = LoadSample(&adjacency, &materials, &materialCount);
    ASSERT_NE(mesh, nullptr);
    // The quad makes two triangles; vertex 1 has two normals, so five vertices become six.
    EXPECT_EQ(mesh->GetNumFaces(), 3u);
    EXPECT_EQ(mesh->GetNumVertices(), 6u);
    EXPECT_EQ(mesh->GetFVF(), D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    EXPECT_EQ(mesh->GetOptions() & D3DXMESH_32BIT, 0u);

    D3DXATTRIBUTERANGE table[2];
    DWORD ranges = 0;
    ASSERT_EQ(mesh->GetAttributeTable(nullptr, &ranges), D3D_OK);
    ASSERT_EQ(ranges, 2u);
    mesh->GetAttributeTable(table, &ranges);
    EXPECT_EQ(table[0].AttribId, 0u);  // the triangle uses material 0, the quad material 1
    EXPECT_EQ(table[0].FaceStart, 0u);
    EXPECT_EQ(table[0].FaceCount, 1u);
    EXPECT_EQ(table[1].FaceStart, 1u);
    EXPECT_EQ(table[1].FaceCount, 2u);

    // The triangle (1, 2, 4) in file order: vertex 1 and 4 with normal (0, 1, 0), 2 with (0, 0, -1).
    BYTE* bytes = nullptr;
    mesh->LockVertexBuffer(0, &bytes);
    const auto* vertices = reinterpret_cast<const PositionNormalUv*>(bytes);
    const std::vector<DWORD> indices = Indices(mesh);
    const std::array<D3DXVECTOR3, 3> positions = {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(1, 1, 0),
                                                  D3DXVECTOR3(2, 0, 1)};
    const std::array<D3DXVECTOR3, 3> normals = {D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 0, -1),
                                                D3DXVECTOR3(0, 1, 0)};
    for (int corner = 0; corner < 3; ++corner) {
        EXPECT_EQ(vertices[indices[corner]].position, positions[corner]);
        EXPECT_EQ(vertices[indices[corner]].normal, normals[corner]);
    }
    EXPECT_FLOAT_EQ(vertices[indices[2]].u, 0.5f);
    mesh->UnlockVertexBuffer();

    ASSERT_EQ(materialCount, 2u);
    const auto* list = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_EQ(list[0].pTextureFilename, nullptr);
    ASSERT_NE(list[1].pTextureFilename, nullptr);
    EXPECT_STREQ(list[1].pTextureFilename, "red.png");
    EXPECT_FLOAT_EQ(list[1].MatD3D.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(list[1].MatD3D.Power, 8.0f);

    // Two inner edges, each seen from both sides: the quad's diagonal and the edge 1-2.
    const auto* adjacent = static_cast<const DWORD*>(adjacency->GetBufferPointer());
    EXPECT_EQ(std::count_if(adjacent, adjacent + 9, [](DWORD f) { return f != kNone; }), 4);
    for (DWORD face = 0; face < 3; ++face) {
        for (int edge = 0; edge < 3; ++edge) {
            const DWORD other = adjacent[face * 3 + edge];
            if (other != kNone) {
                EXPECT_EQ(std::count(adjacent + other * 3, adjacent + other * 3 + 3, face), 1);
            }
        }
    }
    adjacency->Release();
    materials->Release();
    mesh->Release();
}

TEST_F(D3DXMeshTest, IndicesAreSixteenBitsWhileEveryVertexFits) {
    for (const auto& [vertices, wide] : {std::pair{65536u, false}, std::pair{65537u, true}}) {
        IDirectXFileData* data = FirstMesh(StripMesh(vertices));
        ASSERT_NE(data, nullptr);
        ID3DXMesh* mesh = nullptr;
        ASSERT_EQ(D3DXLoadMeshFromXof(data, D3DXMESH_SYSTEMMEM, m_device, nullptr, nullptr, nullptr, &mesh),
                  D3D_OK);
        EXPECT_EQ(mesh->GetNumVertices(), vertices);
        EXPECT_EQ((mesh->GetOptions() & D3DXMESH_32BIT) != 0, wide);
        const std::vector<DWORD> indices = Indices(mesh);
        EXPECT_EQ(*std::max_element(indices.begin(), indices.end()), vertices - 1);
        mesh->Release();
        data->Release();
    }
}

TEST_F(D3DXMeshTest, BrokenMeshDataIsRefused) {
    XFileWriter outOfRange;
    outOfRange.Open("Mesh").Ints({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 3, 0, 1, 3}).Close();
    XFileWriter empty;
    empty.Open("Mesh").Ints({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Ints({1, 2, 0, 1}).Close();
    const std::pair<XFileWriter*, HRESULT> cases[] = {{&outOfRange, D3DXERR_INVALIDDATA},
                                                      {&empty, D3DXERR_LOADEDMESHASNODATA}};
    for (const auto& [writer, expected] : cases) {
        IDirectXFileData* data = FirstMesh(writer->Bytes(XFileWriter::Encoding::Text));
        ASSERT_NE(data, nullptr);
        ID3DXMesh* mesh = nullptr;
        EXPECT_EQ(D3DXLoadMeshFromXof(data, 0, m_device, nullptr, nullptr, nullptr, &mesh), expected);
        EXPECT_EQ(mesh, nullptr);
        data->Release();
    }
}

TEST_F(D3DXMeshTest, BoxIsCentredClosedAndWoundClockwiseFromOutside) {
    ID3DXMesh* box = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    ASSERT_EQ(D3DXCreateBox(m_device, 2, 4, 6, &box, &adjacency), D3D_OK);
    EXPECT_EQ(box->GetNumVertices(), 24u);
    ASSERT_EQ(box->GetNumFaces(), 12u);
    BYTE* bytes = nullptr;
    box->LockVertexBuffer(0, &bytes);
    D3DXVECTOR3 min, max;
    ASSERT_EQ(D3DXComputeBoundingBox(bytes, 24, box->GetFVF(), &min, &max), D3D_OK);
    EXPECT_EQ(min, D3DXVECTOR3(-1, -2, -3));
    EXPECT_EQ(max, D3DXVECTOR3(1, 2, 3));
    struct Vertex {
        D3DXVECTOR3 position, normal;
    };
    const auto* vertices = reinterpret_cast<const Vertex*>(bytes);
    const std::vector<DWORD> indices = Indices(box);
    for (DWORD face = 0; face < 12; ++face) {
        const Vertex& a = vertices[indices[face * 3]];
        const D3DXVECTOR3 ab = vertices[indices[face * 3 + 1]].position - a.position;
        const D3DXVECTOR3 ac = vertices[indices[face * 3 + 2]].position - a.position;
        D3DXVECTOR3 facing;
        D3DXVec3Cross(&facing, &ab, &ac);
        // Clockwise seen from outside in a left-handed system: the cross product points out.
        EXPECT_GT(D3DXVec3Dot(&facing, &a.normal), 0.0f) << "face " << face;
        EXPECT_GT(D3DXVec3Dot(&a.position, &a.normal), 0.0f) << "face " << face;
    }
    box->UnlockVertexBuffer();
    const auto* adjacent = static_cast<const DWORD*>(adjacency->GetBufferPointer());
    EXPECT_EQ(std::count(adjacent, adjacent + 36, kNone), 0);
    adjacency->Release();
    box->Release();
}

TEST_F(D3DXMeshTest, VertexCacheOrderMissesLessAndKeepsEveryTriangle) {
    constexpr DWORD kSide = 32;
    constexpr DWORD kFaces = kSide * kSide * 2;
    ID3DXMesh* grid = nullptr;
    ASSERT_EQ(
        D3DXCreateMeshFVF(kFaces, (kSide + 1) * (kSide + 1), D3DXMESH_SYSTEMMEM, D3DFVF_XYZ, m_device, &grid),
        D3D_OK);
    BYTE* bytes = nullptr;
    grid->LockVertexBuffer(0, &bytes);
    auto* positions = reinterpret_cast<D3DXVECTOR3*>(bytes);
    for (DWORD y = 0; y <= kSide; ++y) {
        for (DWORD x = 0; x <= kSide; ++x) {
            positions[y * (kSide + 1) + x] = D3DXVECTOR3(float(x), float(y), 0);
        }
    }
    grid->UnlockVertexBuffer();
    // Faces in a scrambled order, the attributes alternating in stripes.
    std::vector<std::array<DWORD, 3>> triangles;
    for (DWORD y = 0; y < kSide; ++y) {
        for (DWORD x = 0; x < kSide; ++x) {
            const DWORD corner = y * (kSide + 1) + x;
            triangles.push_back({corner, corner + kSide + 1, corner + 1});
            triangles.push_back({corner + 1, corner + kSide + 1, corner + kSide + 2});
        }
    }
    std::vector<DWORD> scrambled(kFaces);
    for (DWORD f = 0; f < kFaces; ++f) {
        scrambled[f] = (f * 1237) % kFaces;  // 1237 is prime to 2048: a permutation
    }
    WORD* indices16 = nullptr;
    grid->LockIndexBuffer(0, reinterpret_cast<BYTE**>(&indices16));
    DWORD* attributes = nullptr;
    grid->LockAttributeBuffer(0, &attributes);
    std::vector<std::array<DWORD, 3>> before(kFaces);
    for (DWORD f = 0; f < kFaces; ++f) {
        before[f] = triangles[scrambled[f]];
        for (int c = 0; c < 3; ++c) {
            indices16[f * 3 + c] = static_cast<WORD>(before[f][c]);
        }
        attributes[f] = (scrambled[f] / 256) % 2;
    }
    const std::vector<DWORD> attributesBefore(attributes, attributes + kFaces);
    grid->UnlockAttributeBuffer();
    grid->UnlockIndexBuffer();
    const std::size_t missesBefore = FifoMisses(Indices(grid));

    std::vector<DWORD> adjacencyIn(kFaces * 3);
    grid->GenerateAdjacency(0.0f, adjacencyIn.data());
    std::vector<DWORD> adjacencyOut(kFaces * 3);
    std::vector<DWORD> faceRemap(kFaces);
    ID3DXBuffer* vertexRemap = nullptr;
    ASSERT_EQ(grid->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE, adjacencyIn.data(), adjacencyOut.data(),
                                    faceRemap.data(), &vertexRemap),
              D3D_OK);
    const std::vector<DWORD> after = Indices(grid);
    EXPECT_LT(FifoMisses(after) * 2, missesBefore);

    const auto* newToOldVertex = static_cast<const DWORD*>(vertexRemap->GetBufferPointer());
    grid->LockAttributeBuffer(0, &attributes);
    for (DWORD f = 0; f < kFaces; ++f) {
        const DWORD old = faceRemap[f];
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(newToOldVertex[after[f * 3 + c]], before[old][c]);
        }
        EXPECT_EQ(attributes[f], attributesBefore[old]);
        if (f > 0) {
            EXPECT_LE(attributes[f - 1], attributes[f]);
        }
        for (int e = 0; e < 3; ++e) {
            const DWORD neighbour = adjacencyOut[f * 3 + e];
            EXPECT_EQ(neighbour == kNone ? kNone : faceRemap[neighbour], adjacencyIn[old * 3 + e]);
        }
    }
    grid->UnlockAttributeBuffer();
    vertexRemap->Release();
    grid->Release();
}

TEST_F(D3DXMeshTest, ClonesKeepTheElementsBothFormatsShare) {
    ID3DXMesh* mesh = LoadSample();
    ASSERT_NE(mesh, nullptr);
    ID3DXMesh* uvOnly = nullptr;
    ID3DXMesh* coloured = nullptr;
    ASSERT_EQ(mesh->CloneMeshFVF(D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_TEX1, m_device, &uvOnly), D3D_OK);
    ASSERT_EQ(
        mesh->CloneMeshFVF(D3DXMESH_32BIT, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, m_device, &coloured),
        D3D_OK);
    BYTE *source = nullptr, *first = nullptr, *second = nullptr;
    mesh->LockVertexBuffer(0, &source);
    uvOnly->LockVertexBuffer(0, &first);
    coloured->LockVertexBuffer(0, &second);
    struct Uv {
        D3DXVECTOR3 position;
        float u, v;
    };
    struct Coloured {
        D3DXVECTOR3 position, normal;
        DWORD colour;
    };
    for (DWORD i = 0; i < mesh->GetNumVertices(); ++i) {
        const auto& original = reinterpret_cast<const PositionNormalUv*>(source)[i];
        const auto& a = reinterpret_cast<const Uv*>(first)[i];
        const auto& b = reinterpret_cast<const Coloured*>(second)[i];
        EXPECT_EQ(a.position, original.position);
        EXPECT_EQ(a.u, original.u);
        EXPECT_EQ(a.v, original.v);
        EXPECT_EQ(b.normal, original.normal);
        EXPECT_EQ(b.colour, 0u);
    }
    EXPECT_EQ(Indices(coloured), Indices(mesh));
    EXPECT_NE(coloured->GetOptions() & D3DXMESH_32BIT, 0u);
    uvOnly->Release();
    coloured->Release();
    mesh->Release();
}

TEST_F(D3DXMeshTest, SubsetsDrawTheirFacesAndLockedChangesReachTheDevice) {
    ID3DXMesh* mesh = LoadSample();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    EXPECT_EQ(mesh->DrawSubset(0), D3D_OK);
    EXPECT_EQ(mesh->DrawSubset(1), D3D_OK);
    EXPECT_EQ(mesh->DrawSubset(7), D3D_OK);
    m_device->EndScene();
    const auto& draws = m_control->Record().draws;
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].primitiveCount, 1u);
    EXPECT_EQ(draws[1].primitiveCount, 2u);
    EXPECT_EQ(draws[1].fvf, mesh->GetFVF());

    BYTE* bytes = nullptr;
    mesh->LockVertexBuffer(0, &bytes);
    reinterpret_cast<PositionNormalUv*>(bytes)[0].position.x = 42.0f;
    mesh->UnlockVertexBuffer();
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(mesh->GetVertexBuffer(&buffer), D3D_OK);
    BYTE* deviceBytes = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &deviceBytes, 0), D3D_OK);
    EXPECT_FLOAT_EQ(reinterpret_cast<PositionNormalUv*>(deviceBytes)[0].position.x, 42.0f);
    buffer->Unlock();
    buffer->Release();
    mesh->Release();
}

}  // namespace
