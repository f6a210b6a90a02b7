#include "platform/dxfile/x_objects.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace dxfile {
namespace {

class NumberReader {
public:
    explicit NumberReader(const std::vector<double>& numbers) : m_numbers(numbers) {}

    // Missing trailing values read as 0, as exporters sometimes leave them out.
    float Float() { return m_pos < m_numbers.size() ? static_cast<float>(m_numbers[m_pos++]) : 0.0f; }

    bool Dword(DWORD& value) {
        if (m_pos >= m_numbers.size()) {
            return false;
        }
        const double number = m_numbers[m_pos++];
        if (!(number >= 0.0) || number > std::numeric_limits<DWORD>::max()) {
            return false;
        }
        value = static_cast<DWORD>(number);
        return true;
    }

    // A count of items of at least perItem values each, which the remaining values can hold.
    bool Count(DWORD& count, std::size_t perItem) { return Dword(count) && count <= Remaining() / perItem; }

    std::size_t Remaining() const { return m_numbers.size() - m_pos; }

private:
    const std::vector<double>& m_numbers;
    std::size_t m_pos = 0;
};

bool ReadVectors(NumberReader& reader, std::vector<XVector>& out) {
    DWORD count = 0;
    if (!reader.Count(count, 3)) {
        return false;
    }
    out.resize(count);
    for (XVector& v : out) {
        v.x = reader.Float();
        v.y = reader.Float();
        v.z = reader.Float();
    }
    return true;
}

bool ReadFaces(NumberReader& reader, XFaceList& out) {
    DWORD count = 0;
    if (!reader.Count(count, 1)) {
        return false;
    }
    out.counts.resize(count);
    for (DWORD& corners : out.counts) {
        if (!reader.Count(corners, 1)) {
            return false;
        }
        for (DWORD i = 0; i < corners; ++i) {
            DWORD index = 0;
            if (!reader.Dword(index)) {
                return false;
            }
            out.indices.push_back(index);
        }
    }
    return true;
}

XColor ReadColor(NumberReader& reader, bool withAlpha) {
    XColor color;
    color.r = reader.Float();
    color.g = reader.Float();
    color.b = reader.Float();
    color.a = withAlpha ? reader.Float() : 1.0f;
    return color;
}

std::optional<XPayload> BuildPayload(XDataType type, const XRawValues& values) {
    NumberReader reader(values.numbers);
    switch (type) {
        case XDataType::Frame:
            return XFrameData{};
        case XDataType::FrameTransformMatrix: {
            XMatrixData matrix;
            for (float& value : matrix.values) {
                value = reader.Float();
            }
            return matrix;
        }
        case XDataType::Mesh: {
            XMeshData mesh;
            if (!ReadVectors(reader, mesh.vertices) || !ReadFaces(reader, mesh.faces)) {
                return std::nullopt;
            }
            return mesh;
        }
        case XDataType::MeshNormals: {
            XNormalsData normals;
            if (!ReadVectors(reader, normals.normals) || !ReadFaces(reader, normals.faces)) {
                return std::nullopt;
            }
            return normals;
        }
        case XDataType::MeshTextureCoords: {
            XTexCoordsData coords;
            DWORD count = 0;
            if (!reader.Count(count, 2)) {
                return std::nullopt;
            }
            coords.coords.resize(count);
            for (XTexCoord& c : coords.coords) {
                c.u = reader.Float();
                c.v = reader.Float();
            }
            return coords;
        }
        case XDataType::MeshMaterialList: {
            XMaterialListData list;
            DWORD count = 0;
            if (!reader.Dword(list.materialCount) || !reader.Count(count, 1)) {
                return std::nullopt;
            }
            list.faceMaterials.resize(count);
            for (DWORD& index : list.faceMaterials) {
                if (!reader.Dword(index)) {
                    return std::nullopt;
                }
            }
            return list;
        }
        case XDataType::Material: {
            XMaterialData material;
            material.faceColor = ReadColor(reader, true);
            material.power = reader.Float();
            material.specular = ReadColor(reader, false);
            material.emissive = ReadColor(reader, false);
            return material;
        }
        case XDataType::TextureFilename:
            return XTextureFilenameData{values.strings.empty() ? std::string() : values.strings.front()};
    }
    return std::nullopt;
}

}  // namespace

std::optional<XDataType> KnownDataType(std::string_view templateName) {
    static constexpr std::pair<std::string_view, XDataType> kTypes[] = {
        {"Frame", XDataType::Frame},
        {"FrameTransformMatrix", XDataType::FrameTransformMatrix},
        {"Mesh", XDataType::Mesh},
        {"MeshNormals", XDataType::MeshNormals},
        {"MeshTextureCoords", XDataType::MeshTextureCoords},
        {"MeshMaterialList", XDataType::MeshMaterialList},
        {"Material", XDataType::Material},
        {"TextureFilename", XDataType::TextureFilename},
        {"TextureFileName", XDataType::TextureFilename},
    };
    for (const auto& [name, type] : kTypes) {
        if (name == templateName) {
            return type;
        }
    }
    return std::nullopt;
}

std::shared_ptr<XDataObject> BuildDataObject(XDataType type, std::string name, const XRawValues& values) {
    std::optional<XPayload> payload = BuildPayload(type, values);
    if (!payload) {
        return nullptr;
    }
    auto object = std::make_shared<XDataObject>();
    object->type = type;
    object->name = std::move(name);
    object->payload = std::move(*payload);
    return object;
}

}  // namespace dxfile
