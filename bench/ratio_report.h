#pragma once
// A benchmark main that ends with lines comparing pairs of benchmarks of the same run, so that
// ratios are taken on one machine under one load. With repetitions the medians are compared.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

struct tBenchRatio {
    std::string label;
    std::string numerator;  // benchmark function names
    std::string denominator;
};

class CRatioReporter : public benchmark::ConsoleReporter {
public:
    explicit CRatioReporter(std::vector<tBenchRatio> ratios)
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular),
          m_ratios(std::move(ratios)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    m_medians[run.run_name.function_name] = seconds;
                }
            } else {
                m_singles[run.run_name.function_name] = seconds;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const tBenchRatio& ratio : m_ratios) {
            const double numerator = Seconds(ratio.numerator);
            const double denominator = Seconds(ratio.denominator);
            if (numerator > 0 && denominator > 0) {
                std::printf("ratio %s = %s / %s = %.3f\n", ratio.label.c_str(), ratio.numerator.c_str(),
                            ratio.denominator.c_str(), numerator / denominator);
            }
        }
        std::fflush(stdout);
    }

private:
    double Seconds(const std::string& name) const {
        if (const auto median = m_medians.find(name); median != m_medians.end()) {
            return median->second;
        }
        const auto single = m_singles.find(name);
        return single != m_singles.end() ? single->second : 0.0;
    }

    std::vector<tBenchRatio> m_ratios;
    std::map<std::string, double> m_medians;
    std::map<std::string, double> m_singles;
};

inline int RunBenchmarksWithRatios(int argc, char** argv, std::vector<tBenchRatio> ratios) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    CRatioReporter reporter(std::move(ratios));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
