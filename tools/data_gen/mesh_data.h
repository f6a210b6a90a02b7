#pragma once
// Triangle meshes made by the generators and written as text X-files.

#include <array>
#include <string>
#include <vector>

namespace zumbo::datagen {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct MeshData {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;              // one per position
    std::vector<std::array<float, 2>> uvs;  // one per position
    std::vector<std::array<int, 3>> triangles;
    std::array<float, 4> diffuse{1, 1, 1, 1};
    std::string texture;  // file name beside the X-file; empty for none
};

// A grid of (columns + 1) x (rows + 1) vertices on the plane z = height, spanning the rectangle,
// facing +z, with texture coordinates repeating `tiles` times.
MeshData MakeGrid(float minX, float minY, float maxX, float maxY, int columns, int rows, float height,
                  float tiles);

// Recomputes smooth normals from the triangles (area weighted).
void ComputeNormals(MeshData& mesh);

// The cave: a rough vault over the water, open towards the camera at -y, closed by a back wall.
MeshData MakeCave(int segments, int slices);

// A square of side 1 centred on the origin in the x-z plane, the plane screen-space models are
// drawn in: the texture's left edge at +x (the screen's x runs towards -x), its top at +z.
MeshData MakeQuad();

// The mesh as a text X-file with one frame (identity matrix) holding it.
std::string TextXFile(const std::string& frameName, const MeshData& mesh);

}  // namespace zumbo::datagen
