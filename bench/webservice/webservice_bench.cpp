// COUNT and first-page QUERY through the service against the same statements run directly
// on the same database file (1,000,000 rows, 100,000 owned by one user, index on user_id),
// plus the bare HTTP round trip. Goal: service <= 1.5 x direct + one round trip.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

#include "admin.h"
#include "bench_util.h"
#include "database.h"
#include "web_service.h"

namespace {

const char* const kCount = "SELECT COUNT(*) as total FROM Velkor_ESP32 where user_id=7";
const char* const kFirstPage = "select * from Velkor_ESP32 where user_id=7   LIMIT 0, 20 ";

struct World {
    BenchDir dir;
    std::unique_ptr<WebService> service;
    sqlite3* direct = nullptr;
    std::string requestUrl, pingUrl;
};
World* g_world = nullptr;

// 100,000 rows of user 7 spread among 900,000 of nine other users.
bool Seed(const std::string& dbPath) {
    std::string error;
    sqlite3* db = OpenAdminDatabase(dbPath, error);
    bool ok = db != nullptr;
    for (int block = 0; ok && block < 10; ++block)
        for (int user = 0; ok && user < 10; ++user)
            ok = SeedDeviceRows(db, user == 0 ? 7 : 100 + user, 10000, block * 10000, error);
    if (!ok) std::fprintf(stderr, "seed failed: %s\n", error.c_str());
    sqlite3_close(db);
    return ok;
}

void Direct(benchmark::State& state, const char* sql) {
    for (auto _ : state) benchmark::DoNotOptimize(DirectRun(g_world->direct, sql));
}

void Service(benchmark::State& state, const char* kind, const char* sql) {
    HttpPeer peer;
    const std::string body = CommandBody(kind, sql);
    std::string answer;
    for (auto _ : state)
        if (peer.Post(g_world->requestUrl, body, answer) != 200) state.SkipWithError("not 200");
}

void RoundTrip(benchmark::State& state) {
    HttpPeer peer;
    std::string answer;
    for (auto _ : state)
        if (peer.Get(g_world->pingUrl, answer) != 200) state.SkipWithError("not 200");
}

// Keeps each run's mean real time (microseconds) by name for the summary.
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> us;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) us[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

void Summary(Collector& c, const char* what, const std::string& service,
             const std::string& direct) {
    const double s = c.us[service], d = c.us[direct], rt = c.us["Http/RoundTrip"];
    std::printf("%-10s service %9.1f us | direct SQLite %9.1f us | round trip %7.1f us | "
                "service/direct %.2fx | goal 1.5x direct + round trip = %9.1f us: %s\n",
                what, s, d, rt, s / d, 1.5 * d + rt, s <= 1.5 * d + rt ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    World world;
    g_world = &world;
    const std::string dbPath = world.dir.path() + "/bench.db";
    std::fprintf(stderr, "seeding 1,000,000 rows...\n");
    if (!Seed(dbPath)) return 1;
    std::ofstream(world.dir.path() + "/ping") << "1";
    ServiceOptions options;
    options.database = dbPath;
    options.dataFolder = world.dir.path();
    options.quiet = true;
    world.service = std::make_unique<WebService>(options);
    std::string error;
    if (!world.service->Start(error)) return std::fprintf(stderr, "%s\n", error.c_str()), 1;
    world.requestUrl = world.service->BaseUrl() + "//api//example//jsondata";
    world.pingUrl = world.service->BaseUrl() + "//ping";
    sqlite3_open_v2(dbPath.c_str(), &world.direct, SQLITE_OPEN_READONLY, nullptr);

    benchmark::RegisterBenchmark("Http/RoundTrip", RoundTrip)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Direct/Count", Direct, kCount)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Service/Count", Service, "COUNT", kCount)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Direct/FirstPage", Direct, kFirstPage)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Service/FirstPage", Service, "QUERY", kFirstPage)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    Summary(collector, "COUNT", "Service/Count", "Direct/Count");
    Summary(collector, "FirstPage", "Service/FirstPage", "Direct/FirstPage");
    sqlite3_close(world.direct);
    world.service->Stop();
    return 0;
}
