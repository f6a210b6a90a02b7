// 2,000 live particles: twenty generators each spawn one particle per tick that climbs and
// lives 100 ticks. One iteration is one engine tick and the sort for drawing, on the recording
// back end; the budget is a tenth of a 60 Hz frame (1.67 ms).

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <string>

#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "platform/win32/files.h"
#include "resource/xml.h"

namespace {

constexpr int kGenerators = 20;
constexpr const char* kLifeSeconds = "1.6667";  // 100 ticks

void AddValue(enXml& parent, const char* name, const std::string& value) {
    parent.AddNewChild(name)->AddAttribute("Value", value);
}

std::string WriteParticleDocument(const std::filesystem::path& folder) {
    enXml root("Entity");
    root.AddAttribute("Name", "spark");
    AddValue(root, "bNeedsWorldBB", "false");
    enXml* list = root.AddNewChild("AIList");
    enXml* move = list->AddNewChild("SuffixAIList")->AddNewChild("AI");
    move->AddAttribute("Name", "CAIMoveY");
    AddValue(*move, "fSpeed", "60");
    enXml* lifeTime = list->AddNewChild("AILifeTime");
    lifeTime->AddAttribute("Name", "CAIDefaultLifeTime");
    AddValue(*lifeTime, "fTimeToLive", kLifeSeconds);
    const std::string path = win32::ToWindowsPath(folder / "spark.xml");
    root.Save(path);
    return path;
}

CEntity* NewGenerator(const std::string& particle) {
    enXml root("Entity");
    root.AddAttribute("Name", "generator");
    AddValue(root, "bNeedsWorldBB", "false");
    enXml* generator = root.AddNewChild("AIList")->AddNewChild("SuffixAIList")->AddNewChild("AI");
    generator->AddAttribute("Name", "CAIParticleGenerator");
    AddValue(*generator, "iDelay", "1");
    AddValue(*generator, "sParticleName", particle);
    auto* entity = new CEntity();
    entity->LoadFromXml(root);
    return entity;
}

void BM_TwoThousandParticlesPerTick(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench_particles_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string particle = WriteParticleDocument(folder);
    for (int i = 0; i < kGenerators; ++i) {
        NewGenerator(particle);
    }
    enEntityManager& manager = enEntityManager::Instance();
    for (int tick = 0; tick < 110; ++tick) {  // until spawning and dying balance
        manager.Tick();
    }
    for (auto _ : state) {
        manager.Tick();
        manager.RenderAll();
    }
    state.counters["live"] = static_cast<double>(manager.GetActiveEntities().size() - kGenerators);
    manager.DeleteAllEntities();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TwoThousandParticlesPerTick)->Unit(benchmark::kMicrosecond);

}  // namespace
