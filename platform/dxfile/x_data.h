#pragma once
// The typed data objects an X-file reader hands out: frames, their matrices, meshes and the
// parts of a mesh the renderer uses. Everything else in a file is skipped by the reader.

#include <array>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/win32/types.h"

namespace dxfile {

enum class XDataType {
    Frame,
    FrameTransformMatrix,
    Mesh,
    MeshNormals,
    MeshTextureCoords,
    MeshMaterialList,
    Material,
    TextureFilename,
};

struct XVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const XVector&) const = default;
};

struct XTexCoord {
    float u = 0.0f;
    float v = 0.0f;
    bool operator==(const XTexCoord&) const = default;
};

struct XColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
    bool operator==(const XColor&) const = default;
};

// Polygons of any corner count: face i has counts[i] corners, stored one after another.
struct XFaceList {
    std::vector<DWORD> counts;
    std::vector<DWORD> indices;
    bool operator==(const XFaceList&) const = default;
};

struct XFrameData {};

struct XMatrixData {
    std::array<float, 16> values{};  // row by row, translation in the fourth row
};

struct XMeshData {
    std::vector<XVector> vertices;
    XFaceList faces;
};

struct XNormalsData {
    std::vector<XVector> normals;
    XFaceList faces;  // per face corner, an index into the normals
};

struct XTexCoordsData {
    std::vector<XTexCoord> coords;  // one per mesh vertex
};

struct XMaterialListData {
    DWORD materialCount = 0;
    std::vector<DWORD> faceMaterials;  // one per face; a shorter list repeats its last entry
};

struct XMaterialData {
    XColor faceColor;
    float power = 0.0f;
    XColor specular;
    XColor emissive;
};

struct XTextureFilenameData {
    std::string fileName;
};

using XPayload = std::variant<XFrameData, XMatrixData, XMeshData, XNormalsData, XTexCoordsData,
                              XMaterialListData, XMaterialData, XTextureFilenameData>;

// One data object with the known objects nested in it, in file order. A data reference
// shares the object it names, so children may be shared between parents (never cyclic).
struct XDataObject {
    XDataType type = XDataType::Frame;
    std::string name;
    XPayload payload;
    std::vector<std::shared_ptr<const XDataObject>> children;

    template <class T>
    const T& As() const {
        return std::get<T>(payload);
    }
};

}  // namespace dxfile
