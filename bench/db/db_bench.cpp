// One browser page on a 1,000,000-row table: the COUNT and the page SELECT with the owner
// filter, through CMySQLUtil (text building, request record, worker hand-off, JSON reading),
// against the same two request bodies posted by a bare reused libcurl handle. Prints the
// ratio of the two per page position.
#include "service_peer.h"

#include "db/mysql_util.h"
#include "db/query_builder.h"
#include "db/table_requests.h"
#include "http_client.h"
#include "temp_dir.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

dbpeer::ServicePeer* g_service = nullptr;
CMySQLUtil* g_table = nullptr;

PageRequest Page(int offset) {
    PageRequest page;
    page.table = "Velkor_ESP32";
    page.rowStart = offset;
    page.rowCount = 20;
    page.fixed = {"user_id", "1001", true};
    return page;
}

CountRequest Count() {
    return {"Velkor_ESP32", "None", "", "None", "", {"user_id", "1001", true}};
}

void BM_TablePage(benchmark::State& state) {
    const PageRequest page = Page(static_cast<int>(state.range(0)));
    std::map<std::string, std::string> rows;
    for (auto _ : state) {
        int total = g_table->CountTableRows(Count());
        bool ok = g_table->LoadTablePage(page, nullptr, &rows);
        if (total != 1000000 || !ok || rows.size() != 20) state.SkipWithError("wrong page");
        benchmark::DoNotOptimize(rows);
    }
}

void BM_BareCurl(benchmark::State& state) {
    const std::string countBody = dbreq::RequestBody("COUNT", *BuildCountText(Count()));
    const std::string pageBody =
        dbreq::RequestBody("QUERY", *BuildSelectText(Page(static_cast<int>(state.range(0)))));
    testutil::HttpClient client;
    const std::string url = g_service->PostUrl();
    for (auto _ : state) {
        const testutil::HttpAnswer count = client.Post(url, countBody);
        const testutil::HttpAnswer page = client.Post(url, pageBody);
        if (count.status != 200 || page.status != 200) state.SkipWithError("request failed");
        benchmark::DoNotOptimize(page.body);
    }
}

BENCHMARK(BM_TablePage)
    ->Arg(0)
    ->Arg(99980)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(BM_BareCurl)
    ->Arg(0)
    ->Arg(99980)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

// Keeps each run's mean real time so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            const std::string name = r.benchmark_name();  // e.g. "BM_BareCurl/0/min_time:..."
            times[name.substr(0, name.find("/min_time"))] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    testutil::TempDir folder;
    const std::string seeded = dbpeer::SeededDatabase(VELKOR_BINARY_DIR "/bench/db/cache", 1000000);
    dbpeer::ServicePeer service(seeded, folder.path(), 60000);
    g_service = &service;
    dbpeer::WriteClientConfig(folder.path(), service.BaseUrl(), "600");
    CMySQLUtil table("Velkor_ESP32");
    g_table = &table;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* offset : {"0", "99980"}) {
        const double ours = reporter.times["BM_TablePage/" + std::string(offset)];
        const double bare = reporter.times["BM_BareCurl/" + std::string(offset)];
        if (ours > 0 && bare > 0)
            std::printf("page at offset %s: CMySQLUtil %.3f ms, bare libcurl %.3f ms, ratio %.3f\n",
                        offset, ours, bare, ours / bare);
    }
    return 0;
}
