// COUNT and first-page QUERY through the service against the same statements run directly
// on the same database file (1,000,000 rows, 100,000 owned by one user, index on user_id),
// plus the bare HTTP round trip. Goal: service <= 1.5 x direct + one round trip.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <chrono>
#include <memory>

#include "admin.h"
#include "bench_util.h"
#include "database.h"
#include "db/table_requests.h"
#include "http_client.h"
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

// 100,000 rows of user 7 spread among 900,000 of nine other users; a file left by an earlier
// run is used again when it holds exactly that.
bool Seed(const std::string& dbPath) {
    std::string error;
    sqlite3* db = OpenAdminDatabase(dbPath, error);
    bool ok = db != nullptr;
    if (ok && CountRows(db, kDeviceTable) == 1000000) {
        sqlite3_close(db);
        return true;
    }
    std::fprintf(stderr, "seeding 1,000,000 rows into %s ...\n", dbPath.c_str());
    ok = ok && sqlite3_exec(db, "DELETE FROM Velkor_ESP32", nullptr, nullptr, nullptr) == SQLITE_OK;
    for (int block = 0; ok && block < 10; ++block)
        for (int user = 0; ok && user < 10; ++user)
            ok = SeedDeviceRows(db, user == 0 ? 7 : 100 + user, 10000, block * 10000, error);
    if (!ok) std::fprintf(stderr, "seed failed: %s\n", error.c_str());
    sqlite3_close(db);
    return ok;
}

using Clock = std::chrono::steady_clock;

double Micros(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
}

// Each iteration runs the statement directly, through the service, and the bare round trip,
// one right after the other, so a change in the machine's load hits all three alike.
void Paired(benchmark::State& state, const char* kind, const char* sql) {
    testutil::HttpClient peer;
    const std::string body = dbreq::RequestBody(kind, sql);
    double direct = 0, service = 0, roundTrip = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(DirectRun(g_world->direct, sql));
        const auto t1 = Clock::now();
        if (peer.Post(g_world->requestUrl, body).status != 200) state.SkipWithError("not 200");
        const auto t2 = Clock::now();
        if (peer.Get(g_world->pingUrl).status != 200) state.SkipWithError("ping not 200");
        const auto t3 = Clock::now();
        direct += Micros(t0, t1);
        service += Micros(t1, t2);
        roundTrip += Micros(t2, t3);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["direct_us"] = direct / n;
    state.counters["service_us"] = service / n;
    state.counters["roundtrip_us"] = roundTrip / n;
    state.counters["service/direct"] = service / direct;
    // Goal: service <= 1.5 x direct + one round trip; below 1 means met.
    state.counters["goal_ratio"] = service / (1.5 * direct + roundTrip);
}

}  // namespace

int main(int argc, char** argv) {
    World world;
    g_world = &world;
    const char* keep = std::getenv("VELKOR_BENCH_DB");  // keeps the seeded file between runs
    const std::string dbPath = keep ? keep : world.dir.path() + "/bench.db";
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

    benchmark::RegisterBenchmark("Count", Paired, "COUNT", kCount)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("FirstPage", Paired, "QUERY", kFirstPage)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    sqlite3_close(world.direct);
    world.service->Stop();
    return 0;
}
