// Costs of the file and registry stand-ins that every loader and settings call pays:
// path resolution (exact and case-folded), file search and a registry read, which loads
// the whole file each time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/files.h"
#include "platform/win32/registry.h"

namespace {

namespace fs = std::filesystem;

// A folder of 200 files and a registry file with 100 values, shared by every benchmark.
class Fixture {
public:
    Fixture() : m_root(fs::temp_directory_path() / ("zumbo-bench-" + std::to_string(::getpid()))) {
        fs::create_directories(m_root / "Data" / "Models");
        for (int i = 0; i < 200; ++i) {
            std::ofstream(m_root / "Data" / "Models" / ("Model" + std::to_string(i) + ".X")) << "x";
        }
        ::setenv("ZUMBO_REGISTRY", (m_root / "registry.reg").c_str(), 1);
        HKEY key = nullptr;
        win32::RegCreateKeyEx(win32::HKEY_CURRENT_USER, "SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0",
                              &key);
        for (int i = 0; i < 100; ++i) {
            win32::RegWriteDword(key, "Value" + std::to_string(i), static_cast<DWORD>(i));
        }
        win32::RegCloseKey(key);
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    std::string WindowsRoot() const { return win32::ToWindowsPath(m_root) + "\\"; }

private:
    fs::path m_root;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

// Runs one file call on a path below the shared folder.
template <typename Call>
void BM_PathCall(benchmark::State& state, Call call, const char* relative) {
    const std::string path = Shared().WindowsRoot() + relative;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call(path));
    }
}
const auto kResolve = [](const std::string& path) { return win32::ToHostPath(path); };
const auto kFind = [](const std::string& path) { return win32::FindFiles(path); };
BENCHMARK_CAPTURE(BM_PathCall, ResolveExact, kResolve, "Data\\Models\\Model150.X");
BENCHMARK_CAPTURE(BM_PathCall, ResolveCaseFolded, kResolve, "data\\models\\model150.x");
BENCHMARK_CAPTURE(BM_PathCall, FindWithWildcard, kFind, "Data\\Models\\model1?.x");

void BM_RegistryReadDword(benchmark::State& state) {
    Shared();
    HKEY key = nullptr;
    win32::RegOpenKeyEx(win32::HKEY_CURRENT_USER, "SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0", &key);
    for (auto _ : state) {
        DWORD value = 0;
        benchmark::DoNotOptimize(win32::RegReadDword(key, "Value50", value));
    }
    win32::RegCloseKey(key);
}
BENCHMARK(BM_RegistryReadDword);

}  // namespace
