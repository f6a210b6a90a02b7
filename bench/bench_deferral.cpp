// 1,000 deferrable models of one key and texture, drawn through the deferral buffer, against the
// same models drawn one by one. Draw calls are counted on the recording back end: a flush of
// the batch must be one draw call.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/d3d_application.h"
#include "platform/d3d8/recording_control.h"
#include "platform/win32/files.h"
#include "render/deferral_buffer.h"
#include "render/model.h"
#include "render/xmodel_manager.h"
#include "resource/xml.h"
#include "resource/xml_cache.h"

namespace {

constexpr int kModels = 1000;

class BenchApplication : public tmSingletonGD<BenchApplication, CD3DApplication> {
public:
    BenchApplication() { m_bStartFullscreen = false; }
    void GameTick() override {}
};

// A model document of a small box-like mesh, deferrable or not, in a fresh temporary folder.
std::string WriteModel(const std::filesystem::path& folder, bool deferrable) {
    std::ofstream(folder / "cube.x") << "xof 0303txt 0032\n"
                                        "Mesh Cube {\n 4;\n 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;\n"
                                        " 2;\n 3;0,1,2;, 3;0,2,3;;\n}\n";
    enXml model("Model");
    model.AddAttribute("Name", "Cube");
    model.SetValueString("FileName", "cube.x");
    model.SetValueBool("bDeferrable", deferrable);
    const std::string path = win32::ToWindowsPath(folder / (deferrable ? "batched.xml" : "direct.xml"));
    model.Save(path);
    return path;
}

void DrawModels(benchmark::State& state, bool deferrable) {
    setenv("ZUMBO_HEADLESS", "1", 1);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zumbo-bench-deferral";
    std::filesystem::create_directories(folder);
    BenchApplication& application = BenchApplication::Instance();
    if (FAILED(application.Create(nullptr, 0, 0))) {
        state.SkipWithError("no device");
        return;
    }
    {
        std::vector<std::unique_ptr<CModel>> models;
        const std::string path = WriteModel(folder, deferrable);
        for (int i = 0; i < kModels; ++i) {
            models.push_back(std::make_unique<CModel>());
            models.back()->Load(path);
        }
        IDirect3DDevice8* device = application.GetDevice();
        d3d8::DeviceRecord& record = d3d8::RecordingControl::LastDevice()->Record();
        D3DXMATRIX world;
        device->BeginScene();
        for (auto _ : state) {
            for (int i = 0; i < kModels; ++i) {
                D3DXMatrixTranslation(&world, float(i % 10), float(i / 10 % 10), float(i / 100));
                models[i]->Render(world);
            }
            CDeferralBuffer::Instance().Flush(false);
            record.draws.clear();  // the record would grow without bound
        }
        device->EndScene();
        state.counters["draws_per_frame"] =
            double(record.Calls("DrawIndexedPrimitive")) / double(state.iterations());
        CDeferralBuffer::Instance().InvalidateDeviceObjects();
    }
    // The shared X-models and documents belong to this run's device and folder.
    CXModelManager::DestroyInstance();
    XmlCache::DestroyInstance();
    application.DestroyEnvironment();
    application.DestroyInstance();
    std::filesystem::remove_all(folder);
}

void BM_DeferredModels(benchmark::State& state) {
    DrawModels(state, true);
}
void BM_DirectModels(benchmark::State& state) {
    DrawModels(state, false);
}

BENCHMARK(BM_DeferredModels)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DirectModels)->Unit(benchmark::kMicrosecond);

}  // namespace
