// Look-ups and reads on an archive of 10,000 entries.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/files.h"
#include "resource/group_archive.h"
#include "resource/group_file.h"
#include "resource/paths.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;

// Opens the archive once and returns the full paths of its entries.
const std::vector<std::string>& EntryPaths() {
    static const std::vector<std::string> paths = [] {
        tGroupArchiveFolder root;
        std::vector<std::string> result;
        for (int folder = 0; folder < kFolders; ++folder) {
            for (int file = 0; file < kFilesPerFolder; ++file) {
                const std::string relative =
                    "Data\\Folder" + std::to_string(folder) + "\\File" + std::to_string(file) + ".dds";
                AddGroupArchiveFile(root, relative, std::vector<std::uint8_t>(256, std::uint8_t(file)));
                result.push_back(MakeFullPath(relative));
            }
        }
        std::vector<std::uint8_t> archive;
        std::string problem;
        WriteGroupArchive(root, archive, problem);
        const auto host = std::filesystem::temp_directory_path() / "bench_group_file.grp";
        std::ofstream(host, std::ios::binary)
            .write(reinterpret_cast<const char*>(archive.data()), archive.size());
        CGroupFile::Instance().Open(win32::ToWindowsPath(host));
        return result;
    }();
    return paths;
}

void BM_FindEntry(benchmark::State& state) {
    const std::vector<std::string>& paths = EntryPaths();
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CGroupFile::Instance().FindEntry(paths[next]));
        next = (next + 7919) % paths.size();
    }
}
BENCHMARK(BM_FindEntry);

void BM_ReadFile(benchmark::State& state) {
    const std::vector<std::string>& paths = EntryPaths();
    std::vector<std::uint8_t> bytes;
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CGroupFile::Instance().ReadFile(paths[next], bytes));
        next = (next + 7919) % paths.size();
    }
}
BENCHMARK(BM_ReadFile);

}  // namespace
