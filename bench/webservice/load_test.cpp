// Loopback load test: 32 clients x 200 requests, mixed QUERY/COUNT/INSERT, against the
// service and, as the peer, the same mix run directly on SQLite by 32 threads. Checks that
// nothing failed and no insert was lost; prints requests per second and the latency summary.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "admin.h"
#include "bench_report.h"
#include "bench_util.h"
#include "database.h"
#include "db/table_requests.h"
#include "http_client.h"
#include "temp_dir.h"
#include "web_service.h"

namespace {

constexpr int kClients = 32;
constexpr int kRequests = 200;
constexpr int kSeedRows = 1000;

using Clock = std::chrono::steady_clock;

// Request i of client c: a page, a count, or an insert of a row of its own.
struct Request {
    const char* kind;
    std::string sql;
};
Request MakeRequest(int client, int i) {
    switch (i % 3) {
        case 0:
            return {"QUERY", "select * from Velkor_ESP32 where user_id=7   LIMIT " +
                                 std::to_string((client * 37 + i) % 900) + ", 20 "};
        case 1:
            return {"COUNT", "SELECT COUNT(*) as total FROM Velkor_ESP32 where user_id=7"};
        default:
            return {"INSERT",
                    "INSERT INTO Velkor_ESP32 (CLSID, user_id, device_name, "
                    "serial_number) VALUES ('load-" +
                        std::to_string(client) + "-" + std::to_string(i) + "', 7, 'load', 'L" +
                        std::to_string(i) + "')"};
    }
}
// Inserts are requests i = 2, 5, ..., 197.
constexpr int InsertsPerClient() {
    return kRequests / 3;
}

struct Outcome {
    double seconds = 0;
    std::atomic<int> errors{0};
};

// Runs every client on its own thread; `send` returns true when the request succeeded. The
// latency of every request goes to `series`.
void RunClients(Outcome& outcome, bench::Series& series,
                const std::function<std::function<bool(const Request&)>()>& makeClient) {
    std::vector<std::vector<Clock::duration>> latencies(kClients);
    std::vector<std::thread> threads;
    const auto start = Clock::now();
    for (int c = 0; c < kClients; ++c)
        threads.emplace_back([&, c] {
            auto send = makeClient();
            for (int i = 0; i < kRequests; ++i) {
                const Request request = MakeRequest(c, i);
                const auto t0 = Clock::now();
                if (!send(request)) ++outcome.errors;
                latencies[c].push_back(Clock::now() - t0);
            }
        });
    for (auto& t : threads) t.join();
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (const auto& client : latencies)
        for (Clock::duration latency : client) series.Add(latency);
}

void Print(const char* who, const Outcome& o) {
    std::printf("%-14s %6d requests in %6.2f s: %8.0f req/s, errors %d\n", who,
                kClients * kRequests, o.seconds, kClients * kRequests / o.seconds, o.errors.load());
}

bool SeedInto(const std::string& path) {
    std::string error;
    sqlite3* db = webservice::OpenAdminDatabase(path, error);
    const bool ok = db && webservice::SeedDeviceRows(db, 7, kSeedRows, 1, error);
    if (!ok) std::fprintf(stderr, "seed failed: %s\n", error.c_str());
    sqlite3_close(db);
    return ok;
}

long long RowsIn(const std::string& path) {
    std::string error;
    sqlite3* db = webservice::OpenAdminDatabase(path, error);
    const long long rows = db ? webservice::CountRows(db, kDeviceTable) : -1;
    sqlite3_close(db);
    return rows;
}

// The same mix run directly: one connection per thread, writers taking turns on one lock as
// the service's do.
std::function<bool(const Request&)> DirectClient(const std::string& path) {
    static std::mutex writeLock;
    auto db = std::shared_ptr<sqlite3>(nullptr, sqlite3_close);
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_busy_timeout(raw, 10000);
    sqlite3_exec(raw, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);  // as served
    db.reset(raw, sqlite3_close);
    return [db](const Request& r) {
        if (std::string(r.kind) != "INSERT") return DirectRun(db.get(), r.sql) >= 0;
        std::lock_guard<std::mutex> lock(writeLock);
        return DirectRun(db.get(), r.sql) >= 0;
    };
}

}  // namespace

int main() {
    testutil::TempDir dir;
    const std::string served = dir.path() + "/served.db", direct = dir.path() + "/direct.db";
    if (!SeedInto(served) || !SeedInto(direct)) return 1;

    ServiceOptions options;
    options.database = served;
    options.dataFolder = dir.path();
    options.quiet = true;
    WebService service(options);
    std::string error;
    if (!service.Start(error)) return std::fprintf(stderr, "%s\n", error.c_str()), 1;
    const std::string url = service.BaseUrl() + "//api//example//jsondata";

    const std::string what = "one request of the mix, 32 clients at once";
    Outcome http, peer;
    RunClients(http, bench::Series::Start(what + ": ours"), [&] {
        auto client = std::make_shared<testutil::HttpClient>();
        return [client, url](const Request& r) {
            const testutil::HttpAnswer answer =
                client->Post(url, dbreq::RequestBody(r.kind, r.sql));
            return answer.status == 200 &&
                   (std::string(r.kind) != "INSERT" ||
                    answer.body == "{\"AUTOCODE\":{\"rows_changed\":\"1\"}}");
        };
    });
    service.Stop();
    RunClients(peer, bench::Series::Start(what + ": direct SQLite"),
               [&] { return DirectClient(direct); });

    const long long expected = kSeedRows + kClients * InsertsPerClient();
    const long long rowsServed = RowsIn(served), rowsDirect = RowsIn(direct);
    std::printf("%d clients x %d requests, mixed QUERY/COUNT/INSERT on loopback\n", kClients,
                kRequests);
    Print("service (HTTP)", http);
    Print("direct SQLite", peer);
    std::printf("throughput ratio service/direct %.2f\n", peer.seconds / http.seconds);
    std::printf("rows afterwards: service %lld, direct %lld, expected %lld\n", rowsServed,
                rowsDirect, expected);
    bench::PrintSummary();
    const bool ok = http.errors == 0 && peer.errors == 0 && rowsServed == expected;
    std::printf("%s\n", ok ? "load test passed" : "LOAD TEST FAILED");
    return ok ? 0 : 1;
}
