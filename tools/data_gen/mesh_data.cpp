#include "tools/data_gen/mesh_data.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

namespace zumbo::datagen {
namespace {

Vec3 Sub(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Smooth value noise from an integer hash: the same rock on every build.
float Hash(int x, int y) {
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float ValueNoise(float x, float y) {
    const int ix = int(std::floor(x));
    const int iy = int(std::floor(y));
    const float fx = x - float(ix);
    const float fy = y - float(iy);
    const float sx = fx * fx * (3 - 2 * fx);
    const float sy = fy * fy * (3 - 2 * fy);
    const float top = Hash(ix, iy) + (Hash(ix + 1, iy) - Hash(ix, iy)) * sx;
    const float bottom = Hash(ix, iy + 1) + (Hash(ix + 1, iy + 1) - Hash(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

float Fractal(float x, float y) {
    float sum = 0;
    float amplitude = 0.5f;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * ValueNoise(x, y);
        x *= 2.03f;
        y *= 2.03f;
        amplitude *= 0.5f;
    }
    return sum;
}

void AppendGridTriangles(MeshData& mesh, int firstVertex, int columns, int rows) {
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int a = firstVertex + row * (columns + 1) + column;
            const int b = a + 1;
            const int c = a + columns + 1;
            const int d = c + 1;
            mesh.triangles.push_back({a, c, b});
            mesh.triangles.push_back({b, c, d});
        }
    }
}

void AppendFloat(std::string& out, float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", double(value));
    out += text;
}

}  // namespace

MeshData MakeGrid(float minX, float minY, float maxX, float maxY, int columns, int rows, float height,
                  float tiles) {
    MeshData mesh;
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column <= columns; ++column) {
            const float u = float(column) / float(columns);
            const float v = float(row) / float(rows);
            mesh.positions.push_back({minX + (maxX - minX) * u, minY + (maxY - minY) * v, height});
            mesh.normals.push_back({0, 0, 1});
            mesh.uvs.push_back({u * tiles, v * tiles});
        }
    }
    AppendGridTriangles(mesh, 0, columns, rows);
    return mesh;
}

void ComputeNormals(MeshData& mesh) {
    mesh.normals.assign(mesh.positions.size(), Vec3{});
    for (const auto& triangle : mesh.triangles) {
        const Vec3 a = mesh.positions[std::size_t(triangle[0])];
        const Vec3 n = Cross(Sub(mesh.positions[std::size_t(triangle[1])], a),
                             Sub(mesh.positions[std::size_t(triangle[2])], a));
        for (int corner : triangle) {
            Vec3& sum = mesh.normals[std::size_t(corner)];
            sum = {sum.x + n.x, sum.y + n.y, sum.z + n.z};
        }
    }
    for (Vec3& n : mesh.normals) {
        const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        n = length > 0 ? Vec3{n.x / length, n.y / length, n.z / length} : Vec3{0, 0, 1};
    }
}

MeshData MakeCave(int segments, int slices) {
    // A half tube along y: angle 0 at the right water line, pi at the left, bulging with noise.
    // The back wall closes it at the far end.
    constexpr float kNear = -300.0f;
    constexpr float kFar = -20.0f;
    constexpr float kRadius = 150.0f;
    MeshData mesh;
    for (int slice = 0; slice <= slices; ++slice) {
        const float v = float(slice) / float(slices);
        const float y = kNear + (kFar - kNear) * v;
        for (int segment = 0; segment <= segments; ++segment) {
            const float u = float(segment) / float(segments);
            const float angle = -0.15f + (std::numbers::pi_v<float> + 0.3f) * u;
            const float radius = kRadius * (0.8f + 0.45f * Fractal(u * 9.0f, v * 14.0f));
            mesh.positions.push_back({radius * std::cos(angle), y, radius * std::sin(angle) * 0.55f});
            mesh.uvs.push_back({u * 6.0f, v * 10.0f});
        }
    }
    // The grid runs left to right seen from inside, so flip the winding to face the camera.
    const std::size_t vaultTriangles = mesh.triangles.size();
    AppendGridTriangles(mesh, 0, segments, slices);
    for (std::size_t i = vaultTriangles; i < mesh.triangles.size(); ++i) {
        std::swap(mesh.triangles[i][1], mesh.triangles[i][2]);
    }
    // Back wall: a fan of rings from the last slice's rim towards a rough centre.
    const int rim = slices * (segments + 1);
    const int rings = 6;
    const int first = int(mesh.positions.size());
    for (int ring = 1; ring <= rings; ++ring) {
        const float shrink = 1.0f - float(ring) / float(rings + 1);
        for (int segment = 0; segment <= segments; ++segment) {
            const Vec3 edge = mesh.positions[std::size_t(rim + segment)];
            const float bump = 14.0f * Fractal(float(segment) * 0.4f, float(ring) * 0.7f);
            mesh.positions.push_back({edge.x * shrink, kFar + bump, edge.z * shrink});
            mesh.uvs.push_back({float(segment) / float(segments) * 6.0f, 10.0f + float(ring)});
        }
    }
    auto ringVertex = [&](int ring, int segment) {
        return ring == 0 ? rim + segment : first + (ring - 1) * (segments + 1) + segment;
    };
    for (int ring = 0; ring < rings; ++ring) {
        for (int segment = 0; segment < segments; ++segment) {
            const int a = ringVertex(ring, segment);
            const int b = ringVertex(ring, segment + 1);
            const int c = ringVertex(ring + 1, segment);
            const int d = ringVertex(ring + 1, segment + 1);
            mesh.triangles.push_back({a, b, c});
            mesh.triangles.push_back({b, d, c});
        }
    }
    // The innermost ring closes on one point in the middle of the wall.
    const int centre = int(mesh.positions.size());
    mesh.positions.push_back({0.0f, kFar + 10.0f, 0.0f});
    mesh.uvs.push_back({3.0f, 10.0f + float(rings + 1)});
    for (int segment = 0; segment < segments; ++segment) {
        mesh.triangles.push_back({ringVertex(rings, segment), ringVertex(rings, segment + 1), centre});
    }
    ComputeNormals(mesh);
    // The rock is seen from inside: every normal faces the hollow, towards the tunnel's axis.
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const Vec3 p = mesh.positions[i];
        const Vec3 inward = Sub(Vec3{0.0f, std::min(p.y, kFar - 30.0f), 20.0f}, p);
        Vec3& n = mesh.normals[i];
        if (n.x * inward.x + n.y * inward.y + n.z * inward.z < 0.0f) {
            n = {-n.x, -n.y, -n.z};
        }
    }
    mesh.texture = "rock.png";
    return mesh;
}

MeshData MakeQuad() {
    MeshData mesh;
    // The picture lies in the x-z plane, the screen's. Mouse picking reads the box's x and y, so a
    // zero-area triangle across y, never drawn, gives the box a height as tall as the picture.
    mesh.positions = {{0.5f, 0, 0.5f}, {-0.5f, 0, 0.5f}, {0.5f, 0, -0.5f}, {-0.5f, 0, -0.5f},
                      {0, -0.5f, 0},   {0, 0.5f, 0},     {0, 0.5f, 0}};
    mesh.normals.assign(7, Vec3{0, -1, 0});
    mesh.uvs = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}};
    mesh.triangles = {{0, 1, 2}, {1, 3, 2}, {4, 5, 6}};
    return mesh;
}

std::string TextXFile(const std::string& frameName, const MeshData& mesh) {
    std::string out = "xof 0303txt 0032\n\nFrame " + frameName + " {\n";
    out +=
        "  FrameTransformMatrix {\n    1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;;\n  "
        "}\n";
    out += "  Mesh {\n    " + std::to_string(mesh.positions.size()) + ";\n";
    auto appendVectors = [&out](const std::vector<Vec3>& vectors) {
        for (std::size_t i = 0; i < vectors.size(); ++i) {
            out += "    ";
            AppendFloat(out, vectors[i].x);
            out += ";";
            AppendFloat(out, vectors[i].y);
            out += ";";
            AppendFloat(out, vectors[i].z);
            out += i + 1 < vectors.size() ? ";,\n" : ";;\n";
        }
    };
    auto appendFaces = [&out, &mesh]() {
        out += "    " + std::to_string(mesh.triangles.size()) + ";\n";
        for (std::size_t i = 0; i < mesh.triangles.size(); ++i) {
            const auto& t = mesh.triangles[i];
            out += "    3;" + std::to_string(t[0]) + "," + std::to_string(t[1]) + "," + std::to_string(t[2]);
            out += i + 1 < mesh.triangles.size() ? ";,\n" : ";;\n";
        }
    };
    appendVectors(mesh.positions);
    appendFaces();
    out += "    MeshNormals {\n    " + std::to_string(mesh.normals.size()) + ";\n";
    appendVectors(mesh.normals);
    appendFaces();
    out += "    }\n    MeshTextureCoords {\n    " + std::to_string(mesh.uvs.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.uvs.size(); ++i) {
        out += "    ";
        AppendFloat(out, mesh.uvs[i][0]);
        out += ";";
        AppendFloat(out, mesh.uvs[i][1]);
        out += i + 1 < mesh.uvs.size() ? ";,\n" : ";;\n";
    }
    out += "    }\n    MeshMaterialList {\n    1;\n    " + std::to_string(mesh.triangles.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.triangles.size(); ++i) {
        out += i + 1 < mesh.triangles.size() ? "    0,\n" : "    0;\n";
    }
    out += "      Material {\n        ";
    for (float channel : mesh.diffuse) {
        AppendFloat(out, channel);
        out += ";";
    }
    out +=
        ";\n        10.000000;\n        0.000000;0.000000;0.000000;;\n        0.000000;0.000000;0.000000;;\n";
    if (!mesh.texture.empty()) {
        out += "        TextureFilename {\n          \"" + mesh.texture + "\";\n        }\n";
    }
    out += "      }\n    }\n  }\n}\n";
    return out;
}

}  // namespace zumbo::datagen
