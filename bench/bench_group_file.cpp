// Opening, look-ups and reads on an archive of 10,000 entries, and hits of the XML cache.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/files.h"
#include "resource/group_archive.h"
#include "resource/group_file.h"
#include "resource/paths.h"
#include "resource/xml_bml_converter.h"
#include "resource/xml_cache.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;

struct tBenchArchive {
    std::string windowsPath;
    std::vector<std::string> entryPaths;
};

// Writes the archive once and opens it.
const tBenchArchive& Archive() {
    static const tBenchArchive archive = [] {
        tGroupArchiveFolder root;
        tBenchArchive result;
        for (int folder = 0; folder < kFolders; ++folder) {
            for (int file = 0; file < kFilesPerFolder; ++file) {
                const std::string relative =
                    "Data\\Folder" + std::to_string(folder) + "\\File" + std::to_string(file) + ".dds";
                AddGroupArchiveFile(root, relative, std::vector<std::uint8_t>(256, std::uint8_t(file)));
                result.entryPaths.push_back(MakeFullPath(relative));
            }
        }
        std::vector<std::uint8_t> bytes;
        std::string problem;
        WriteGroupArchive(root, bytes, problem);
        const auto host = std::filesystem::temp_directory_path() / "bench_group_file.grp";
        std::ofstream(host, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        result.windowsPath = win32::ToWindowsPath(host);
        CGroupFile::Instance().Open(result.windowsPath);
        return result;
    }();
    return archive;
}

const std::vector<std::string>& EntryPaths() {
    return Archive().entryPaths;
}

void BM_OpenGroupFile(benchmark::State& state) {
    const std::string& path = Archive().windowsPath;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CGroupFile::Instance().Open(path));
    }
}
BENCHMARK(BM_OpenGroupFile)->Unit(benchmark::kMillisecond);

// Asks for every name in turn, in an order that jumps around.
template <class Lookup>
void CycleThrough(benchmark::State& state, const std::vector<std::string>& names, Lookup lookup) {
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookup(names[next]));
        next = (next + 7919) % names.size();
    }
}

void BM_FindEntry(benchmark::State& state) {
    CycleThrough(state, EntryPaths(),
                 [](const std::string& path) { return CGroupFile::Instance().FindEntry(path); });
}
BENCHMARK(BM_FindEntry);

void BM_ReadFile(benchmark::State& state) {
    std::vector<std::uint8_t> bytes;
    CycleThrough(state, EntryPaths(),
                 [&bytes](const std::string& path) { return CGroupFile::Instance().ReadFile(path, bytes); });
}
BENCHMARK(BM_ReadFile);

constexpr int kCachedDocuments = 60;

// Names of documents already in the cache, spelled as callers do: mixed case, a drive letter.
const std::vector<std::string>& CachedDocumentNames() {
    static const std::vector<std::string> names = [] {
        const auto folder = std::filesystem::temp_directory_path() / "bench_xml_cache";
        std::filesystem::create_directories(folder);
        enXml root("Entity");
        root.AddAttribute("Name", "cached");
        CXmlBmlConverter converter;
        converter.ToBinary(root);
        std::vector<std::string> result;
        for (int i = 0; i < kCachedDocuments; ++i) {
            const auto host = folder / ("Entity" + std::to_string(i) + ".lbm");
            std::ofstream(host, std::ios::binary)
                .write(reinterpret_cast<const char*>(converter.Buffer().data()), converter.Buffer().size());
            std::string name = win32::ToWindowsPath(host);
            name.replace(name.size() - 3, 3, "Xml");
            XmlCache::Instance().Load(name);
            result.push_back(std::move(name));
        }
        return result;
    }();
    return names;
}

void BM_XmlCacheHit(benchmark::State& state) {
    CycleThrough(state, CachedDocumentNames(),
                 [](const std::string& name) { return XmlCache::Instance().Load(name); });
}
BENCHMARK(BM_XmlCacheHit);

}  // namespace
