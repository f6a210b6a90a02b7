#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dxfile/dxfile.h"
#include "tests/support/xfile_writer.h"

namespace {

using dxfile::XDataObject;
using dxfile::XDataType;
using zumbo::test::XFileWriter;
using Encoding = XFileWriter::Encoding;

struct ReadResult {
    HRESULT result = E_FAIL;
    std::vector<XDataObject> objects;  // top level, copied out of the enumerator
};

ReadResult ReadBytes(const std::vector<std::uint8_t>& bytes, bool standardTemplates = true) {
    ReadResult read;
    IDirectXFile* file = nullptr;
    EXPECT_EQ(DirectXFileCreate(&file), DXFILE_OK);
    if (standardTemplates) {
        EXPECT_EQ(file->RegisterTemplates(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES), DXFILE_OK);
    }
    DXFILELOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
    IDirectXFileEnumObject* enumObject = nullptr;
    read.result = file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumObject);
    if (enumObject != nullptr) {
        IDirectXFileData* data = nullptr;
        while (enumObject->GetNextDataObject(&data) == DXFILE_OK) {
            read.objects.push_back(data->Object());
            data->Release();
        }
        enumObject->Release();
    }
    file->Release();
    return read;
}

ReadResult ReadText(const std::string& body) {
    const std::string text = "xof 0303txt 0032\n" + body;
    return ReadBytes({text.begin(), text.end()});
}

const XDataObject* Child(const XDataObject& parent, XDataType type) {
    for (const auto& child : parent.children) {
        if (child->type == type) {
            return child.get();
        }
    }
    return nullptr;
}

std::vector<std::uint8_t> SampleBytes(Encoding encoding, bool doubles = false) {
    XFileWriter writer;
    zumbo::test::WriteSampleScene(writer);
    return writer.Bytes(encoding, doubles);
}

// The sample scene as written by hand in WriteSampleScene.
void ExpectSampleScene(const ReadResult& read) {
    ASSERT_EQ(read.result, DXFILE_OK);
    ASSERT_EQ(read.objects.size(), 2u);
    EXPECT_EQ(read.objects[0].type, XDataType::Material);
    const XDataObject& frame = read.objects[1];
    EXPECT_EQ(frame.type, XDataType::Frame);
    EXPECT_EQ(frame.name, "Body");
    const XDataObject* matrix = Child(frame, XDataType::FrameTransformMatrix);
    ASSERT_NE(matrix, nullptr);
    EXPECT_FLOAT_EQ(matrix->As<dxfile::XMatrixData>().values[12], 10.0f);
    EXPECT_FLOAT_EQ(matrix->As<dxfile::XMatrixData>().values[14], 30.0f);

    const XDataObject* mesh = Child(frame, XDataType::Mesh);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->name, "Shape");
    const auto& data = mesh->As<dxfile::XMeshData>();
    ASSERT_EQ(data.vertices.size(), 5u);
    EXPECT_EQ(data.vertices[4], (dxfile::XVector{2, 0, 1}));
    EXPECT_EQ(data.faces.counts, (std::vector<DWORD>{4, 3}));
    EXPECT_EQ(data.faces.indices, (std::vector<DWORD>{0, 3, 2, 1, 1, 2, 4}));

    const XDataObject* normals = Child(*mesh, XDataType::MeshNormals);
    ASSERT_NE(normals, nullptr);
    EXPECT_EQ(normals->As<dxfile::XNormalsData>().normals[1], (dxfile::XVector{0, 1, 0}));
    const XDataObject* coords = Child(*mesh, XDataType::MeshTextureCoords);
    ASSERT_NE(coords, nullptr);
    EXPECT_EQ(coords->As<dxfile::XTexCoordsData>().coords[4], (dxfile::XTexCoord{0.5f, 0.5f}));

    const XDataObject* list = Child(*mesh, XDataType::MeshMaterialList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->As<dxfile::XMaterialListData>().faceMaterials, (std::vector<DWORD>{1, 0}));
    ASSERT_EQ(list->children.size(), 2u);
    EXPECT_EQ(list->children[0]->name, "Grey");
    EXPECT_EQ(list->children[1]->name, "Red");
    EXPECT_FLOAT_EQ(list->children[1]->As<dxfile::XMaterialData>().power, 8.0f);
    const XDataObject* texture = Child(*list->children[1], XDataType::TextureFilename);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->As<dxfile::XTextureFilenameData>().fileName, "red.png");
}

TEST(DirectXFile, EveryEncodingAndFloatSizeReadsTheSameScene) {
    for (const Encoding encoding :
         {Encoding::Text, Encoding::Binary, Encoding::TextZip, Encoding::BinaryZip}) {
        for (const bool doubles : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "encoding " << static_cast<int>(encoding) << " doubles " << doubles);
            ExpectSampleScene(ReadBytes(SampleBytes(encoding, doubles)));
        }
    }
}

TEST(DirectXFile, CompressedFilesOfManyBlocksReferBackAcrossBlocks) {
    XFileWriter writer;
    writer.Open("Mesh", "Big").Ints({20000});
    std::vector<double> positions;
    for (int i = 0; i < 20000; ++i) {
        positions.insert(positions.end(), {double(i % 7), 1.0, 2.0});
    }
    writer.Floats(positions).Ints({1, 3, 0, 1, 19999}).Close();
    for (const Encoding encoding : {Encoding::TextZip, Encoding::BinaryZip}) {
        const std::vector<std::uint8_t> bytes = writer.Bytes(encoding);
        ASSERT_LT(bytes.size(), 32768u);  // well compressed, so blocks must share history
        const ReadResult read = ReadBytes(bytes);
        ASSERT_EQ(read.result, DXFILE_OK);
        const auto& mesh = read.objects.at(0).As<dxfile::XMeshData>();
        ASSERT_EQ(mesh.vertices.size(), 20000u);
        EXPECT_EQ(mesh.vertices[19999], (dxfile::XVector{19999 % 7, 1, 2}));
    }
}

TEST(DirectXFile, TextFromExportersIsReadLiberally) {
    const ReadResult read = ReadText(R"(
# a comment
// another comment
template MyHeader {
 <3d82ab43-62da-11CF-ab39-0020af71e433>
 WORD major;
 array DWORD list[major];
 [Material <3D82AB4D-62DA-11cf-AB39-0020AF71E433>, ...]
}
Header { 1; 0; 1; }
Frame Root {
  FrameTransformMatrix {
    1.000000,0.000000,0.000000,0.000000,
    0.000000,1.000000,0.000000,0.000000,
    0.000000,0.000000,1.000000,0.000000,
    1.#QNAN0,-2.5e1,3.000000,1.000000;;
  }
  Mesh {
    3;
    0.0;0.0;0.0;,
    1.0;0.0;0.0// a comment right after a number
    0.0;1.0;0.0;;
    1;
    3;0,1,2;;
  }
})");
    ASSERT_EQ(read.result, DXFILE_OK);
    ASSERT_EQ(read.objects.size(), 1u);
    const XDataObject* matrix = Child(read.objects[0], XDataType::FrameTransformMatrix);
    ASSERT_NE(matrix, nullptr);
    EXPECT_FLOAT_EQ(matrix->As<dxfile::XMatrixData>().values[12], 0.0f);
    EXPECT_FLOAT_EQ(matrix->As<dxfile::XMatrixData>().values[13], -25.0f);
    const XDataObject* mesh = Child(read.objects[0], XDataType::Mesh);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->As<dxfile::XMeshData>().faces.indices, (std::vector<DWORD>{0, 1, 2}));
}

TEST(DirectXFile, UnknownObjectsAreSkippedWholeWhereverTheySit) {
    const ReadResult read = ReadText(R"(
AnimTicksPerSecond { 4800; }
Frame Root {
  Mesh Inner {
    3; 0;0;0;, 1;0;0;, 0;1;0;;
    1; 3;0,1,2;;
    VertexDuplicationIndices { 3; 3; 0, 1, 2; }
    SkinWeights { "Bone"; 1; 0; 1.0; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }
    MeshVertexColors { 1; 0; 1.0; 0.0; 0.0; 1.0;; }
  }
  Frame 01 { }
  Wrapper { Mesh Hidden { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } }
}
AnimationSet Walk { Animation { { Root } AnimationKey { 0; 1; 0; 4; 1.0, 0.0, 0.0, 0.0;;; } } })");
    ASSERT_EQ(read.result, DXFILE_OK);
    ASSERT_EQ(read.objects.size(), 1u);
    const XDataObject& frame = read.objects[0];
    ASSERT_EQ(frame.children.size(), 2u);  // the mesh inside the unknown wrapper is gone with it
    EXPECT_EQ(frame.children[0]->name, "Inner");
    EXPECT_TRUE(frame.children[0]->children.empty());
    EXPECT_EQ(frame.children[1]->name, "01");
}

TEST(DirectXFile, KnownObjectsNeedTheirTemplate) {
    const std::string mesh = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }";
    const std::string text = "xof 0302txt 0032\n" + mesh;
    EXPECT_EQ(ReadBytes({text.begin(), text.end()}, false).result, DXFILEERR_NOTEMPLATE);
    const std::string declared =
        "xof 0302txt 0032\ntemplate Mesh { <3D82AB44-62DA-11cf-AB39-0020AF71E433> [...] }\n" + mesh;
    EXPECT_EQ(ReadBytes({declared.begin(), declared.end()}, false).result, DXFILE_OK);
    // The name's case does not matter, so the common misspelling finds the standard template.
    const ReadResult read =
        ReadText("Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFileName { \"a.png\"; } }");
    ASSERT_EQ(read.result, DXFILE_OK);
    ASSERT_EQ(read.objects.at(0).children.size(), 1u);
    EXPECT_EQ(read.objects[0].children[0]->As<dxfile::XTextureFilenameData>().fileName, "a.png");
}

TEST(DirectXFile, BinaryTemplatesAndObjectsOfThemAreReadAndSkipped) {
    XFileWriter writer;
    writer.Template("Custom", "00000000-0000-0000-0000-000000000000");
    writer.Open("Custom", "First").Ints({7}).String("text").Close();
    writer.Open("Frame", "Kept").Open("Custom").Ints({1}).Close().Close();
    for (const Encoding encoding : {Encoding::Binary, Encoding::BinaryZip}) {
        const ReadResult read = ReadBytes(writer.Bytes(encoding, true));
        ASSERT_EQ(read.result, DXFILE_OK);
        ASSERT_EQ(read.objects.size(), 1u);
        EXPECT_EQ(read.objects[0].name, "Kept");
        EXPECT_TRUE(read.objects[0].children.empty());
    }
}

TEST(DirectXFile, HeadersThatAreNotXFilesAreRefused) {
    const auto read = [](const std::string& text) { return ReadBytes({text.begin(), text.end()}).result; };
    EXPECT_EQ(read("xof 03"), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(read("PK\x03\x04 0302txt 0032"), DXFILEERR_BADFILETYPE);
    EXPECT_EQ(read("xof 0302abc 0032"), DXFILEERR_BADFILECOMPRESSIONTYPE);
    EXPECT_EQ(read("xof 0302txt 0016"), DXFILEERR_BADFILEFLOATSIZE);
    EXPECT_EQ(read("xof 0302tzip0032\x10\0\0\0\x05\0\xff\xff"), DXFILEERR_BADFILE);
}

TEST(DirectXFile, HostileCountsAndNestingFailWithoutLargeAllocations) {
    EXPECT_EQ(ReadText("Mesh { 4000000000; 0;0;0;; 0;; }").result, DXFILEERR_BADVALUE);
    EXPECT_EQ(ReadText("Mesh { 1; 0;0;0;; 2000000000; 3;0,0,0;; }").result, DXFILEERR_BADVALUE);
    EXPECT_EQ(ReadText("Mesh { 1; 0;0;0;; 1; 4000000000;0;; }").result, DXFILEERR_BADVALUE);
    EXPECT_EQ(ReadText("Mesh { -1; }").result, DXFILEERR_BADVALUE);
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "Frame {";
    }
    EXPECT_EQ(ReadText(deep).result, DXFILEERR_PARSEERROR);
    // A binary integer list claiming more entries than the file holds.
    std::vector<std::uint8_t> binary = SampleBytes(Encoding::Binary);
    const std::uint8_t list[] = {6, 0, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0};
    binary.insert(binary.end(), std::begin(list), std::end(list));
    EXPECT_EQ(ReadBytes(binary).result, DXFILEERR_PARSEERROR);
}

TEST(DirectXFile, EveryTruncationOfEveryEncodingFailsCleanly) {
    for (const Encoding encoding :
         {Encoding::Text, Encoding::Binary, Encoding::TextZip, Encoding::BinaryZip}) {
        const std::vector<std::uint8_t> whole = SampleBytes(encoding);
        for (std::size_t size = 0; size < whole.size(); ++size) {
            const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + size);
            const ReadResult read = ReadBytes(part);
            // A cut between top-level objects is a shorter valid file; any other cut fails.
            const bool onlyBlanksCut =
                std::all_of(whole.begin() + size, whole.end(), [](std::uint8_t c) { return c == '\n'; });
            if (read.result == DXFILE_OK && !onlyBlanksCut) {
                EXPECT_LE(read.objects.size(), 1u) << "encoding " << int(encoding) << " size " << size;
            }
        }
    }
}

TEST(DirectXFile, FilesAreReadFromDiskByWindowsPath) {
    IDirectXFile* file = nullptr;
    ASSERT_EQ(DirectXFileCreate(&file), DXFILE_OK);
    IDirectXFileEnumObject* enumObject = nullptr;
    EXPECT_EQ(file->CreateEnumObject("Z:\\no\\such\\file.x", DXFILELOAD_FROMFILE, &enumObject),
              DXFILEERR_FILENOTFOUND);
    EXPECT_EQ(enumObject, nullptr);
    file->Release();
}

}  // namespace
