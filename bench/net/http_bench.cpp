// HttpPutGet beside plain libcurl loops (one reused handle; a new handle per request) over
// HTTP and HTTPS, and the download service beside a bare reused-handle loop, all against
// the same reference web service on loopback.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include "bench_peer.h"
#include "bench_report.h"
#include "http_client.h"
#include "net/curl_util.h"

namespace {

constexpr int kFiles = 200;
constexpr std::size_t kFileSize = 64 << 10;

std::string Protocol(bool secure) {
    return secure ? "https" : "http";
}

// HttpPutGet, a bare loop on one reused handle and a bare new handle per request, taking
// turns request by request (the order rotated every time), so drift of a shared host falls on
// all three alike.
void BM_HttpPutGetBesideBareLoops(benchmark::State& state) {
    BenchPeer& peer = BenchPeer::Get();
    const bool secure = state.range(0) != 0;
    CCurl_Util client;
    const std::string url = peer.PostUrl(secure);
    const std::string what = "HttpPutGet " + Protocol(secure);
    bench::Series& ours = bench::Series::Start(what + ": ours");
    bench::Series& reused = bench::Series::Start(what + ": bare reused handle");
    bench::Series& fresh = bench::Series::Start(what + ": bare new handle");
    testutil::HttpClient bare(peer.certFile);
    std::string answer;
    const std::function<bool()> runs[] = {
        [&] {
            return ours.Time(
                [&] { return client.HttpPutGet(50, true, url, peer.requestBody, &answer); });
        },
        [&] { return reused.Time([&] { return bare.Post(url, peer.requestBody).status == 200; }); },
        [&] {
            return fresh.Time([&] {
                return testutil::HttpClient(peer.certFile).Post(url, peer.requestBody).status ==
                       200;
            });
        },
    };
    std::size_t first = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < 3; ++k)
            if (!runs[(first + k) % 3]()) state.SkipWithError("transfer failed");
        first = (first + 1) % 3;
    }
}

// "f7" for file 7; appended rather than joined with +, on which GCC 12 at -O3 warns falsely.
std::string FileName(int i) {
    return std::string("f").append(std::to_string(i));
}

const char* const kBefore[] = {", same bytes again", ", new files", ", replacing others"};

void MakeDownloadFiles(const BenchPeer& peer) {
    static bool made = false;
    if (made) return;
    made = true;
    std::filesystem::create_directories(peer.dataFolder + "/dl");
    std::filesystem::create_directories(peer.root + "/local");
    std::mt19937 random(7);
    std::string content(kFileSize, '\0');
    for (int i = 0; i < kFiles; ++i) {
        for (char& c : content) c = static_cast<char>(random());
        std::ofstream(peer.dataFolder + "/dl/f" + std::to_string(i), std::ios::binary) << content;
    }
}

// The download service and a bare reused-handle loop fetching the same 200 files, taking
// turns within each iteration (first one, then the other, the order swapped every time), so
// a disk or host that slows down in the middle of the run slows both alike. The second
// argument says what is on disk before each run: 1 no local copies (every file is created),
// 2 copies of other content (every file is replaced), 0 the copies of the last run (the same
// bytes come again).
void BM_DownloadServiceBesideBareLoop(benchmark::State& state) {
    BenchPeer& peer = BenchPeer::Get();
    const bool secure = state.range(0) != 0;
    const int before = static_cast<int>(state.range(1));
    MakeDownloadFiles(peer);
    CCurl_Util client;
    client.SetDataUrl(peer.BaseUrl(secure));
    testutil::HttpClient bare(peer.certFile);
    const std::string what = "download " + Protocol(secure) + kBefore[before];
    bench::Series& ours = bench::Series::Start(what + ": ours", kFiles * kFileSize);
    bench::Series& bareLoop =
        bench::Series::Start(what + ": bare download loop", kFiles * kFileSize);
    auto runService = [&] {
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = FileName(i);
            client.AddDownloadItem("/dl//" + name,
                                   DownloadItem{0, "", name, "", peer.root + "/local/" + name});
        }
        ours.Time([&] {
            client.StartDownloadService();
            std::string text;
            while (client.GetDownloadProgress(&text))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        });
    };
    auto runBare = [&] {
        bareLoop.Time([&] {
            for (int i = 0; i < kFiles; ++i) {
                const std::string name = FileName(i);
                const testutil::HttpAnswer answer = bare.Get(peer.BaseUrl(secure) + "/dl//" + name);
                if (answer.status != 200) state.SkipWithError("transfer failed");
                std::ofstream(peer.root + "/local/bare-" + name, std::ios::binary) << answer.body;
            }
        });
    };
    bool serviceFirst = true;
    for (auto _ : state) {
        // Untimed: lay out what is on disk before the run, then write it all out, so both
        // start from old copies that are really on the disk, as they would be.
        state.PauseTiming();
        if (before != 0) {
            std::filesystem::remove_all(peer.root + "/local");
            std::filesystem::create_directories(peer.root + "/local");
        }
        if (before == 2) {
            const std::string other(kFileSize, '\0');
            for (int i = 0; i < kFiles; ++i)
                for (const char* prefix : {"", "bare-"})
                    std::ofstream(peer.root + "/local/" + prefix + "f" + std::to_string(i),
                                  std::ios::binary)
                        << other;
        }
        ::sync();
        state.ResumeTiming();
        if (serviceFirst) {
            runService();
            runBare();
        } else {
            runBare();
            runService();
        }
        serviceFirst = !serviceFirst;
    }
    if (!std::filesystem::exists(peer.root + "/local/f" + std::to_string(kFiles - 1)))
        state.SkipWithError("download service did not fetch every file");
}

BENCHMARK(BM_HttpPutGetBesideBareLoops)->Arg(0)->Arg(1)->Iterations(400)->UseRealTime();
BENCHMARK(BM_DownloadServiceBesideBareLoop)
    ->ArgsProduct({{0, 1}, {1, 2, 0}})
    ->Iterations(10)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return bench::RunBenchmarks(argc, argv);
}
