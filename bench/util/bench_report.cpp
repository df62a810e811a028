#include "bench_report.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace bench {

namespace {

constexpr auto kShortestSample = std::chrono::microseconds(10);
constexpr long kLargestBatch = 1L << 20;

struct Registry {
    std::map<std::string, Series> series;
    std::vector<std::string> order;  // names in the order they were first started
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// "crc32 64MiB: zlib crc32" -> case "crc32 64MiB", side "zlib crc32"; a name without ": " is
// a case of its own with no peer.
std::pair<std::string, std::string> Split(const std::string& name) {
    const std::size_t cut = name.find(": ");
    if (cut == std::string::npos) return {name, "ours"};
    return {name.substr(0, cut), name.substr(cut + 2)};
}

// The unit a case is shown in, chosen by our p50: scale to multiply seconds by, and its name.
std::pair<double, const char*> UnitFor(double seconds) {
    if (seconds < 1e-6) return {1e9, "ns"};
    if (seconds < 1e-3) return {1e6, "us"};
    if (seconds < 1) return {1e3, "ms"};
    return {1, "s"};
}

std::string Throughput(const Series& s) {
    const double p50 = s.Percentile(0.5);
    if (s.BytesPerOperation() <= 0 || p50 <= 0) return "";
    const double rate = s.BytesPerOperation() / p50;
    char text[32];
    if (rate >= 1e9)
        std::snprintf(text, sizeof text, "%.2f GB/s", rate / 1e9);
    else
        std::snprintf(text, sizeof text, "%.1f MB/s", rate / 1e6);
    return text;
}

void PrintSide(std::FILE* out, const std::string& who, const Series& s, const Series* ours,
               std::pair<double, const char*> unit) {
    const double p50 = s.Percentile(0.5), p99 = s.Percentile(0.99);
    std::fprintf(out, "  %-38s p50 %9.3f %-2s  p99 %9.3f %-2s", who.c_str(), p50 * unit.first,
                 unit.second, p99 * unit.first, unit.second);
    if (ours)
        std::fprintf(out, "  ratio p50 %6.2f  p99 %6.2f", ours->Percentile(0.5) / p50,
                     ours->Percentile(0.99) / p99);
    else
        std::fprintf(out, "  %-28s", "");
    const std::string rate = Throughput(s);
    std::fprintf(out, "  %-10s  n=%zu\n", rate.c_str(), s.Count());
}

}  // namespace

Series& Series::Start(const std::string& name, double bytesPerOperation) {
    Registry& registry = TheRegistry();
    auto [at, added] = registry.series.try_emplace(name);
    if (added) registry.order.push_back(name);
    at->second.m_seconds.clear();
    at->second.m_bytes = bytesPerOperation;
    return at->second;
}

double Series::Percentile(double fraction) const {
    if (m_seconds.empty()) return 0;
    std::vector<double> sorted = m_seconds;
    std::sort(sorted.begin(), sorted.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

double Series::Mean() const {
    if (m_seconds.empty()) return 0;
    return std::accumulate(m_seconds.begin(), m_seconds.end(), 0.0) / m_seconds.size();
}

Timed::Iterator Timed::end() {
    Iterator end(m_state.end(), this);  // starts Google Benchmark's clock
    m_batchStart = Clock::now();
    return end;
}

void Timed::Lap() {
    if (++m_inBatch < m_batch) return;
    const auto now = Clock::now();
    const auto elapsed = now - m_batchStart;
    m_series.Add(elapsed / m_inBatch);
    if (elapsed < kShortestSample && m_batch < kLargestBatch) m_batch *= 2;
    m_inBatch = 0;
    m_batchStart = now;
}

void Timed::Finish() {
    if (m_inBatch > 0) m_series.Add((Clock::now() - m_batchStart) / m_inBatch);
    m_inBatch = 0;
}

void PrintSummary(std::FILE* out) {
    const Registry& registry = TheRegistry();
    std::vector<std::string> cases;
    std::map<std::string, std::vector<std::string>> sides;  // case -> full names, ours first
    for (const std::string& name : registry.order) {
        const auto [key, who] = Split(name);
        if (registry.series.at(name).Count() == 0) continue;
        auto& names = sides[key];
        if (names.empty()) cases.push_back(key);
        if (who == "ours")
            names.insert(names.begin(), name);
        else
            names.push_back(name);
    }
    if (cases.empty()) return;
    std::fprintf(out,
                 "\nours beside the peer: time per operation at p50 and p99, "
                 "ratio = ours / peer (below 1: ours is faster)\n");
    for (const std::string& key : cases) {
        const auto& names = sides[key];
        const Series* ours =
            Split(names.front()).second == "ours" ? &registry.series.at(names.front()) : nullptr;
        const auto unit = UnitFor(registry.series.at(names.front()).Percentile(0.5));
        std::fprintf(out, "%s\n", key.c_str());
        for (const std::string& name : names) {
            const Series& s = registry.series.at(name);
            PrintSide(out, Split(name).second, s, &s == ours ? nullptr : ours, unit);
        }
    }
    std::fflush(out);
}

int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    PrintSummary();
    benchmark::Shutdown();
    return 0;
}

benchmark::internal::Benchmark* Register(const std::string& name,
                                         void (*function)(benchmark::State&, const std::string&)) {
    return benchmark::RegisterBenchmark(
        name.c_str(), [function, name](benchmark::State& state) { function(state, name); });
}

}  // namespace bench
