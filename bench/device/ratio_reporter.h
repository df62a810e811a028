// Console output of Google Benchmark plus one line per pair: ours / peer in CPU time, same run
// (CPU time, so that other load on the machine does not tilt the ratio).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
        : ConsoleReporter(OO_Tabular), m_pairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.iterations > 0) m_ns[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [ours, peer] : m_pairs)
            if (m_ns.count(ours) && m_ns.count(peer))
                std::printf("ratio %s / %s = %.3f\n", ours.c_str(), peer.c_str(),
                            m_ns[ours] / m_ns[peer]);
    }

private:
    std::vector<std::pair<std::string, std::string>> m_pairs;
    std::map<std::string, double> m_ns;
};

#define RATIO_BENCHMARK_MAIN(...)                                                              \
    int main(int argc, char** argv) {                                                          \
        benchmark::Initialize(&argc, argv);                                                    \
        RatioReporter reporter(std::vector<std::pair<std::string, std::string>>{__VA_ARGS__}); \
        benchmark::RunSpecifiedBenchmarks(&reporter);                                          \
        benchmark::Shutdown();                                                                 \
        return 0;                                                                              \
    }
