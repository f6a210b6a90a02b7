// D3DXLoadMeshFromXof: an X-file Mesh object and the parts nested in it become a D3DX mesh.

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/d3dx8/d3dx_mesh.h"
#include "platform/d3dx8/mesh.h"

namespace {

using dxfile::XDataObject;
using dxfile::XDataType;

constexpr DWORD kNoNormal = 0xFFFFFFFF;

struct MeshParts {
    const dxfile::XMeshData* mesh = nullptr;
    const dxfile::XNormalsData* normals = nullptr;
    const dxfile::XTexCoordsData* coords = nullptr;
    const dxfile::XMaterialListData* materialList = nullptr;
    std::vector<const XDataObject*> materials;
};

MeshParts GatherParts(const XDataObject& object) {
    MeshParts parts;
    parts.mesh = &object.As<dxfile::XMeshData>();
    for (const auto& child : object.children) {
        if (child->type == XDataType::MeshNormals && parts.normals == nullptr) {
            parts.normals = &child->As<dxfile::XNormalsData>();
        } else if (child->type == XDataType::MeshTextureCoords && parts.coords == nullptr) {
            parts.coords = &child->As<dxfile::XTexCoordsData>();
        } else if (child->type == XDataType::MeshMaterialList && parts.materialList == nullptr) {
            parts.materialList = &child->As<dxfile::XMaterialListData>();
            for (const auto& material : child->children) {
                if (material->type == XDataType::Material) {
                    parts.materials.push_back(material.get());
                }
            }
        }
    }
    return parts;
}

// Corners that share a vertex and a normal share an output vertex.
struct CornerTable {
    std::unordered_map<std::uint64_t, DWORD> outputOf;
    std::vector<DWORD> sourceVertex;
    std::vector<DWORD> sourceNormal;

    DWORD Add(DWORD vertex, DWORD normal) {
        const std::uint64_t key = (std::uint64_t(vertex) << 32) | normal;
        const auto [it, added] = outputOf.emplace(key, static_cast<DWORD>(sourceVertex.size()));
        if (added) {
            sourceVertex.push_back(vertex);
            sourceNormal.push_back(normal);
        }
        return it->second;
    }
};

struct Triangles {
    std::vector<DWORD> indices;
    std::vector<DWORD> attributes;
};

DWORD FaceAttribute(const MeshParts& parts, std::size_t face, DWORD materialCount) {
    if (parts.materialList == nullptr || parts.materialList->faceMaterials.empty()) {
        return 0;
    }
    const std::vector<DWORD>& list = parts.materialList->faceMaterials;
    const DWORD attribute = list[std::min(face, list.size() - 1)];
    return attribute < materialCount ? attribute : 0;
}

// The normal index of each corner of a face, when the normal faces match the mesh faces.
DWORD CornerNormal(const MeshParts& parts, std::size_t face, std::size_t normalOffset, DWORD corner) {
    if (parts.normals == nullptr || face >= parts.normals->faces.counts.size() ||
        parts.normals->faces.counts[face] != parts.mesh->faces.counts[face]) {
        return kNoNormal;
    }
    const DWORD normal = parts.normals->faces.indices[normalOffset + corner];
    return normal < parts.normals->normals.size() ? normal : kNoNormal;
}

// Fans every polygon into triangles; false for a corner naming a missing vertex.
bool Triangulate(const MeshParts& parts, DWORD materialCount, CornerTable& corners, Triangles& out) {
    const dxfile::XFaceList& faces = parts.mesh->faces;
    std::size_t offset = 0;
    std::size_t normalOffset = 0;
    for (std::size_t face = 0; face < faces.counts.size(); ++face) {
        const DWORD count = faces.counts[face];
        std::vector<DWORD> polygon(count);
        for (DWORD c = 0; c < count; ++c) {
            const DWORD vertex = faces.indices[offset + c];
            if (vertex >= parts.mesh->vertices.size()) {
                return false;
            }
            polygon[c] = corners.Add(vertex, CornerNormal(parts, face, normalOffset, c));
        }
        for (DWORD c = 1; c + 1 < count; ++c) {
            out.indices.insert(out.indices.end(), {polygon[0], polygon[c], polygon[c + 1]});
            out.attributes.push_back(FaceAttribute(parts, face, materialCount));
        }
        offset += count;
        if (parts.normals != nullptr && face < parts.normals->faces.counts.size()) {
            normalOffset += parts.normals->faces.counts[face];
        }
    }
    return true;
}

void FillVertices(const MeshParts& parts, const CornerTable& corners, ID3DXMesh& mesh) {
    const bool withNormals = parts.normals != nullptr;
    const bool withCoords = parts.coords != nullptr;
    BYTE* data = nullptr;
    mesh.LockVertexBuffer(0, &data);
    for (std::size_t v = 0; v < corners.sourceVertex.size(); ++v) {
        float* out = reinterpret_cast<float*>(data) + v * (3 + (withNormals ? 3 : 0) + (withCoords ? 2 : 0));
        const dxfile::XVector& position = parts.mesh->vertices[corners.sourceVertex[v]];
        *out++ = position.x;
        *out++ = position.y;
        *out++ = position.z;
        if (withNormals) {
            const DWORD n = corners.sourceNormal[v];
            const dxfile::XVector normal = n != kNoNormal ? parts.normals->normals[n] : dxfile::XVector{};
            *out++ = normal.x;
            *out++ = normal.y;
            *out++ = normal.z;
        }
        if (withCoords) {
            const DWORD source = corners.sourceVertex[v];
            const dxfile::XTexCoord uv =
                source < parts.coords->coords.size() ? parts.coords->coords[source] : dxfile::XTexCoord{};
            *out++ = uv.u;
            *out++ = uv.v;
        }
    }
    mesh.UnlockVertexBuffer();
}

D3DMATERIAL8 ToMaterial(const dxfile::XMaterialData& data) {
    D3DMATERIAL8 material{};
    material.Diffuse = {data.faceColor.r, data.faceColor.g, data.faceColor.b, data.faceColor.a};
    material.Power = data.power;
    material.Specular = {data.specular.r, data.specular.g, data.specular.b, 1.0f};
    material.Emissive = {data.emissive.r, data.emissive.g, data.emissive.b, 1.0f};
    return material;
}

std::string TextureName(const XDataObject& material) {
    for (const auto& child : material.children) {
        if (child->type == XDataType::TextureFilename) {
            return child->As<dxfile::XTextureFilenameData>().fileName;
        }
    }
    return {};
}

// D3DXMATERIALs followed by the texture names they point at. Without materials in the file
// one white material stands in, so that the mesh still draws.
HRESULT BuildMaterialBuffer(const MeshParts& parts, DWORD materialCount, ID3DXBuffer** buffer) {
    std::vector<D3DMATERIAL8> materials(materialCount);
    std::vector<std::string> names(materialCount);
    for (DWORD i = 0; i < materialCount; ++i) {
        materials[i].Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        if (i < parts.materials.size()) {
            materials[i] = ToMaterial(parts.materials[i]->As<dxfile::XMaterialData>());
            names[i] = TextureName(*parts.materials[i]);
        }
    }
    std::size_t size = sizeof(D3DXMATERIAL) * materialCount;
    for (const std::string& name : names) {
        size += name.empty() ? 0 : name.size() + 1;
    }
    if (FAILED(D3DXCreateBuffer(static_cast<DWORD>(size), buffer))) {
        return E_OUTOFMEMORY;
    }
    BYTE* base = static_cast<BYTE*>((*buffer)->GetBufferPointer());
    char* text = reinterpret_cast<char*>(base + sizeof(D3DXMATERIAL) * materialCount);
    for (DWORD i = 0; i < materialCount; ++i) {
        D3DXMATERIAL entry{materials[i], nullptr};
        if (!names[i].empty()) {
            entry.pTextureFilename = text;
            std::memcpy(text, names[i].c_str(), names[i].size() + 1);
            text += names[i].size() + 1;
        }
        std::memcpy(base + sizeof(D3DXMATERIAL) * i, &entry, sizeof entry);
    }
    return D3D_OK;
}

// The file's count may disagree with the materials it holds; a count beyond the materials can
// only be used by faces, so the face list bounds it.
DWORD MaterialCount(const MeshParts& parts) {
    if (parts.materialList == nullptr) {
        return 1;
    }
    const std::size_t declared =
        std::min<std::size_t>(parts.materialList->materialCount, parts.materialList->faceMaterials.size());
    return static_cast<DWORD>(std::max<std::size_t>({std::size_t(1), parts.materials.size(), declared}));
}

}  // namespace

HRESULT D3DXLoadMeshFromXof(IDirectXFileData* meshData, DWORD options, IDirect3DDevice8* device,
                            ID3DXBuffer** adjacency, ID3DXBuffer** materials, DWORD* numMaterials,
                            ID3DXMesh** mesh) {
    if (meshData == nullptr || mesh == nullptr || meshData->GetType() != XDataType::Mesh) {
        return D3DERR_INVALIDCALL;
    }
    *mesh = nullptr;
    const MeshParts parts = GatherParts(meshData->Object());
    const DWORD materialCount = MaterialCount(parts);
    CornerTable corners;
    Triangles triangles;
    if (!Triangulate(parts, materialCount, corners, triangles)) {
        return D3DXERR_INVALIDDATA;
    }
    const DWORD faceCount = static_cast<DWORD>(triangles.attributes.size());
    const DWORD vertexCount = static_cast<DWORD>(corners.sourceVertex.size());
    if (faceCount == 0 || vertexCount == 0) {
        return D3DXERR_LOADEDMESHASNODATA;
    }
    const DWORD fvf = D3DFVF_XYZ | (parts.normals != nullptr ? D3DFVF_NORMAL : 0) |
                      (parts.coords != nullptr ? D3DFVF_TEX1 : 0);
    const DWORD indexOptions = vertexCount > 0x10000 ? D3DXMESH_32BIT : 0;
    d3dx8::Mesh* result = d3dx8::Mesh::Create(device, faceCount, vertexCount, options | indexOptions, fvf);
    if (result == nullptr) {
        return E_OUTOFMEMORY;
    }
    FillVertices(parts, corners, *result);
    for (std::size_t i = 0; i < triangles.indices.size(); ++i) {
        result->SetIndex(i, triangles.indices[i]);
    }
    DWORD* attributes = nullptr;
    result->LockAttributeBuffer(0, &attributes);
    std::copy(triangles.attributes.begin(), triangles.attributes.end(), attributes);
    result->UnlockAttributeBuffer();
    result->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, nullptr, nullptr);

    if (materials != nullptr && FAILED(BuildMaterialBuffer(parts, materialCount, materials))) {
        result->Release();
        return E_OUTOFMEMORY;
    }
    if (numMaterials != nullptr) {
        *numMaterials = materialCount;
    }
    if (adjacency != nullptr && SUCCEEDED(D3DXCreateBuffer(faceCount * 3 * sizeof(DWORD), adjacency))) {
        result->GenerateAdjacency(0.0f, static_cast<DWORD*>((*adjacency)->GetBufferPointer()));
    }
    *mesh = result;
    return D3D_OK;
}
