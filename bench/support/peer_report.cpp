#include "peer_report.h"

#include <algorithm>
#include <cstdio>

void CPeerReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
        std::string name = run.benchmark_name();
        std::size_t cut = name.find(": ");
        if (cut == std::string::npos) continue;
        std::string peer = name.substr(cut + 2);
        peer = peer.substr(0, peer.find('/'));  // drop "/real_time" and the like
        Figure f{peer, 0, "GB/s"};
        auto bytes = run.counters.find("bytes_per_second");
        if (bytes != run.counters.end()) {
            f.value = bytes->second.value / 1e9;
        } else {
            f.value = 1e9 / std::max(run.GetAdjustedRealTime(), 1e-9);
            f.unit = "ops/s";
        }
        std::string key = name.substr(0, cut);
        if (!m_cases.count(key)) m_order.push_back(key);
        m_cases[key].push_back(f);
    }
}

void CPeerReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::printf("\n%-44s %12s %12s %-22s %8s\n", "case", "ours", "peer", "peer name", "ratio");
    for (const std::string& key : m_order) {
        const auto& figures = m_cases[key];
        auto ours = std::find_if(figures.begin(), figures.end(),
                                 [](const Figure& f) { return f.peer == "ours"; });
        if (ours == figures.end()) continue;
        for (const Figure& peer : figures) {
            if (&peer == &*ours) continue;
            std::printf("%-44s %8.2f %-4s %8.2f %-4s %-22s %7.2fx\n", key.c_str(), ours->value,
                        ours->unit.c_str(), peer.value, peer.unit.c_str(), peer.peer.c_str(),
                        ours->value / peer.value);
        }
    }
    std::fflush(stdout);
}

int RunWithPeerReport(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CPeerReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
