// One browser page on a 1,000,000-row table: the COUNT and the page SELECT with the owner
// filter, through CMySQLUtil (text building, request record, worker hand-off, JSON reading),
// against the same two request bodies posted by a bare reused libcurl handle, at the first
// page and at the last.
#include "service_peer.h"

#include "bench_report.h"
#include "db/mysql_util.h"
#include "db/query_builder.h"
#include "db/table_requests.h"
#include "http_client.h"
#include "temp_dir.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>

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

void TablePage(benchmark::State& state, const std::string& name) {
    const PageRequest page = Page(static_cast<int>(state.range(0)));
    std::map<std::string, std::string> rows;
    for (auto _ : bench::Timed(state, name)) {
        int total = g_table->CountTableRows(Count());
        bool ok = g_table->LoadTablePage(page, nullptr, &rows);
        if (total != 1000000 || !ok || rows.size() != 20) state.SkipWithError("wrong page");
        benchmark::DoNotOptimize(rows);
    }
}

void BareCurl(benchmark::State& state, const std::string& name) {
    const std::string countBody = dbreq::RequestBody("COUNT", *BuildCountText(Count()));
    const std::string pageBody =
        dbreq::RequestBody("QUERY", *BuildSelectText(Page(static_cast<int>(state.range(0)))));
    testutil::HttpClient client;
    const std::string url = g_service->PostUrl();
    for (auto _ : bench::Timed(state, name)) {
        const testutil::HttpAnswer count = client.Post(url, countBody);
        const testutil::HttpAnswer page = client.Post(url, pageBody);
        if (count.status != 200 || page.status != 200) state.SkipWithError("request failed");
        benchmark::DoNotOptimize(page.body);
    }
}

}  // namespace

int main(int argc, char** argv) {
    testutil::TempDir folder;
    const std::string seeded = dbpeer::SeededDatabase(VELKOR_BINARY_DIR "/bench/db/cache", 1000000);
    dbpeer::ServicePeer service(seeded, folder.path(), 60000);
    g_service = &service;
    dbpeer::WriteClientConfig(folder.path(), service.BaseUrl(), "600");
    CMySQLUtil table("Velkor_ESP32");
    g_table = &table;
    using Function = void (*)(benchmark::State&, const std::string&);
    const std::pair<const char*, Function> sides[] = {{": ours", TablePage},
                                                      {": bare libcurl", BareCurl}};
    for (const int offset : {0, 99980})
        for (const auto& [who, function] : sides)
            bench::Register("page at offset " + std::to_string(offset) + who, function)
                ->Arg(offset)
                ->Unit(benchmark::kMillisecond)
                ->MinTime(2.0)
                ->UseRealTime();
    return bench::RunBenchmarks(argc, argv);
}
