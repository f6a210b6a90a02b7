// Creating the X-model manager over a folder of 50 X-files: with a cold metrics cache every
// file is loaded for its box; with a warm one only the documents are read. Both run in one
// program run, so their ratio compares like with like.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/files.h"
#include "render/xmodel_manager.h"
#include "resource/paths.h"
#include "resource/xml_cache.h"

namespace {

constexpr int kFiles = 50;
constexpr int kGrid = 24;  // quads per side: 1,152 triangles per file

// A textured grid with normals, as an exporter writes it.
std::string GridXFile(int seed) {
    std::string text =
        "xof 0302txt 0032\nFrame Grid {\n FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }\n";
    char line[160];
    const int side = kGrid + 1;
    text += " Mesh Ground {\n  " + std::to_string(side * side) + ";\n";
    for (int i = 0; i < side * side; ++i) {
        std::snprintf(line, sizeof line, "  %d.0;%f;%d.0;%s\n", i % side, 0.01 * ((i * 7 + seed) % 13),
                      i / side, i + 1 < side * side ? "," : ";");
        text += line;
    }
    text += "  " + std::to_string(kGrid * kGrid * 2) + ";\n";
    for (int y = 0; y < kGrid; ++y) {
        for (int x = 0; x < kGrid; ++x) {
            const int c = y * side + x;
            const bool last = y == kGrid - 1 && x == kGrid - 1;
            std::snprintf(line, sizeof line, "  3;%d,%d,%d;,\n  3;%d,%d,%d;%s\n", c, c + side, c + 1, c + 1,
                          c + side, c + side + 1, last ? ";" : ",");
            text += line;
        }
    }
    text += "  MeshNormals { 1; 0.0;1.0;0.0;; " + std::to_string(kGrid * kGrid * 2) + ";\n";
    for (int f = 0; f < kGrid * kGrid * 2; ++f) {
        text += f + 1 < kGrid * kGrid * 2 ? "  3;0,0,0;,\n" : "  3;0,0,0;;\n";
    }
    text += "  }\n  MeshTextureCoords { " + std::to_string(side * side) + ";\n";
    for (int i = 0; i < side * side; ++i) {
        std::snprintf(line, sizeof line, "  %f;%f;%s\n", double(i % side) / kGrid, double(i / side) / kGrid,
                      i + 1 < side * side ? "," : ";");
        text += line;
    }
    text += "  }\n }\n}\n";
    return text;
}

std::filesystem::path ModelsFolder() {
    return win32::ToHostPath(GetProgramFolder() + "Models");
}

void WriteModels() {
    const std::filesystem::path folder = ModelsFolder();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFiles; ++i) {
        std::ofstream(folder / ("grid" + std::to_string(i) + ".x")) << GridXFile(i);
    }
}

void ForgetMetrics() {
    std::filesystem::remove(ModelsFolder() / "XFilesMetrics.lbm");
    std::filesystem::remove(ModelsFolder() / "GrpXFilesMetrics.lbm");
}

// A new run of the program: no documents read yet, then the manager's creation and destruction.
void CreateAndDestroyManager() {
    XmlCache::DestroyInstance();
    benchmark::DoNotOptimize(CXModelManager::Instance().SharedCount());
    CXModelManager::DestroyInstance();
}

void BM_ManagerCreationColdMetrics(benchmark::State& state) {
    WriteModels();
    for (auto _ : state) {
        state.PauseTiming();
        ForgetMetrics();
        state.ResumeTiming();
        CreateAndDestroyManager();
    }
}
BENCHMARK(BM_ManagerCreationColdMetrics)->Unit(benchmark::kMillisecond);

void BM_ManagerCreationWarmMetrics(benchmark::State& state) {
    WriteModels();
    CreateAndDestroyManager();
    for (auto _ : state) {
        CreateAndDestroyManager();
    }
}
BENCHMARK(BM_ManagerCreationWarmMetrics)->Unit(benchmark::kMillisecond);

}  // namespace
