// The demo as the program runs it, headless with the fast clock: CPU time per tick over 600
// ticks against the 16.7 ms budget of one tick, and the start-up to the first frame with a cold
// and a warm metrics cache. Each run is a child process in a fresh program folder holding the
// built program and its group file; its CPU time is read from the children's resource usage.

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr double kTickBudgetSeconds = 1.0 / 60.0;

class DemoFolder {
public:
    DemoFolder() : m_path(fs::temp_directory_path() / ("zumbo-bench-demo-" + std::to_string(::getpid()))) {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
        const fs::path bin(ZUMBO_BIN_DIR);
        fs::copy_file(bin / "ZumboCave.exe", m_path / "ZumboCave.exe");
        fs::copy_file(bin / "ZumboSS.grp", m_path / "ZumboSS.grp");
    }
    ~DemoFolder() { fs::remove_all(m_path); }

    void ForgetMetrics() const {
        fs::remove(m_path / "Models" / "XFilesMetrics.lbm");
        fs::remove(m_path / "Models" / "GrpXFilesMetrics.lbm");
    }

    // Runs the program for the ticks and answers the child's user plus system CPU seconds.
    double Run(int ticks) const {
        const std::string program = (m_path / "ZumboCave.exe").string();
        std::vector<std::string> variables{"ZUMBO_HEADLESS=1", "ZUMBO_FAST_CLOCK=1",
                                           "ZUMBO_MAX_TICKS=" + std::to_string(ticks),
                                           "ZUMBO_REGISTRY=" + (m_path / "registry.reg").string(),
                                           "ZUMBO_DRIVE_C=" + (m_path / "drive_c").string()};
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (std::string(*entry).rfind("ZUMBO_", 0) != 0) {
                variables.emplace_back(*entry);
            }
        }
        std::vector<char*> envp;
        for (std::string& variable : variables) {
            envp.push_back(variable.data());
        }
        envp.push_back(nullptr);
        std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};

        rusage before{};
        ::getrusage(RUSAGE_CHILDREN, &before);
        pid_t child = 0;
        if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) {
            return -1.0;
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        rusage after{};
        ::getrusage(RUSAGE_CHILDREN, &after);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            return -1.0;
        }
        return Seconds(after.ru_utime) + Seconds(after.ru_stime) - Seconds(before.ru_utime) -
               Seconds(before.ru_stime);
    }

private:
    static double Seconds(const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) * 1e-6; }

    fs::path m_path;
};

// The tick cost is the difference between a 600-tick and a 1-tick run, so start-up drops out.
void BM_DemoCpuPerTick(benchmark::State& state) {
    DemoFolder folder;
    folder.Run(1);  // warms the metrics cache
    double perTick = 0.0;
    for (auto _ : state) {
        const double longRun = folder.Run(601);
        const double shortRun = folder.Run(1);
        if (longRun < 0.0 || shortRun < 0.0) {
            state.SkipWithError("the program did not run");
            return;
        }
        perTick = (longRun - shortRun) / 600.0;
        state.SetIterationTime(longRun);
    }
    state.counters["cpu_ms_per_tick"] = perTick * 1e3;
    state.counters["share_of_tick_budget_%"] = perTick / kTickBudgetSeconds * 100.0;
}
BENCHMARK(BM_DemoCpuPerTick)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DemoStartUp(benchmark::State& state) {
    const bool warm = state.range(0) != 0;
    DemoFolder folder;
    folder.Run(1);
    double seconds = 0.0;
    for (auto _ : state) {
        if (!warm) {
            folder.ForgetMetrics();
        }
        seconds = folder.Run(1);
        if (seconds < 0.0) {
            state.SkipWithError("the program did not run");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["cpu_ms_to_first_frame"] = seconds * 1e3;
}
BENCHMARK(BM_DemoStartUp)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"warm"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
