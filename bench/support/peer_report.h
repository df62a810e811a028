// A console reporter that also prints, after the runs, each of our figures beside its peer's
// from the same run with the ratio. Benchmarks are named "<case>: ours" and "<case>: <peer>".
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class CPeerReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Figure {
        std::string peer;
        double value = 0;  // bytes per second when the benchmark counts bytes, else 1/time
        std::string unit;
    };
    std::vector<std::string> m_order;
    std::map<std::string, std::vector<Figure>> m_cases;
};

// Runs every registered benchmark with CPeerReporter; the body of main.
int RunWithPeerReport(int argc, char** argv);
