// HttpPutGet beside bare libcurl loops (one reused handle; a new handle per request) over
// HTTP and HTTPS, and the download service beside a bare reused-handle loop, all against
// the same reference web service on loopback. After Google Benchmark's own table, a summary
// prints each figure beside its peer with the ratio.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <thread>
#include <vector>

#include "bench_peer.h"
#include "net/curl_util.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFiles = 200;
constexpr std::size_t kFileSize = 64 << 10;

std::map<std::string, std::vector<double>> g_samples;  // microseconds per operation

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * v.size()))];
}

std::string Key(const char* what, bool secure) {
    return std::string(what) + (secure ? " https" : " http");
}

// HttpPutGet, a bare loop on one reused handle and a bare new handle per request, taking
// turns request by request (the order rotated every time), so drift of a shared host falls on
// all three alike.
void BM_HttpPutGetBesideBareLoops(benchmark::State& state) {
    BenchPeer& peer = BenchPeer::Get();
    const bool secure = state.range(0) != 0;
    CCurl_Util client;
    const std::string url = peer.PostUrl(secure);
    auto& ours = g_samples[Key("HttpPutGet", secure)];
    auto& reused = g_samples[Key("bare reused handle", secure)];
    auto& fresh = g_samples[Key("bare new handle", secure)];
    CURL* handle = curl_easy_init();
    std::string answer;
    auto timed = [](std::vector<double>& samples, auto&& transfer) {
        const auto t0 = Clock::now();
        const bool ok = transfer();
        samples.push_back(Micros(Clock::now() - t0));
        return ok;
    };
    const std::function<bool()> runs[] = {
        [&] {
            return timed(ours, [&] { return client.HttpPutGet(50, true, url, peer.requestBody,
                                                              &answer); });
        },
        [&] {
            return timed(reused, [&] {
                std::string body;
                return BareTransfer(handle, url, &peer.requestBody, peer.certFile, body);
            });
        },
        [&] {
            return timed(fresh, [&] {
                std::string body;
                CURL* once = curl_easy_init();
                const bool ok = BareTransfer(once, url, &peer.requestBody, peer.certFile, body);
                curl_easy_cleanup(once);
                return ok;
            });
        },
    };
    std::size_t first = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < 3; ++k)
            if (!runs[(first + k) % 3]()) state.SkipWithError("transfer failed");
        first = (first + 1) % 3;
    }
    curl_easy_cleanup(handle);
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
    CURL* handle = curl_easy_init();
    const char* suffix = kBefore[before];
    auto& ours = g_samples[Key("download service", secure) + suffix];
    auto& bare = g_samples[Key("bare download loop", secure) + suffix];
    auto runService = [&] {
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "f" + std::to_string(i);
            client.AddDownloadItem("/dl//" + name,
                                   DownloadItem{0, "", name, "", peer.root + "/local/" + name});
        }
        const auto t0 = Clock::now();
        client.StartDownloadService();
        std::string text;
        while (client.GetDownloadProgress(&text))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ours.push_back(Micros(Clock::now() - t0));
    };
    auto runBare = [&] {
        const auto t0 = Clock::now();
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "f" + std::to_string(i);
            std::string body;
            if (!BareTransfer(handle, peer.BaseUrl(secure) + "/dl//" + name, nullptr, peer.certFile,
                              body))
                state.SkipWithError("transfer failed");
            std::ofstream(peer.root + "/local/bare-" + name, std::ios::binary) << body;
        }
        bare.push_back(Micros(Clock::now() - t0));
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
    curl_easy_cleanup(handle);
    if (!std::filesystem::exists(peer.root + "/local/f" + std::to_string(kFiles - 1)))
        state.SkipWithError("download service did not fetch every file");
}

BENCHMARK(BM_HttpPutGetBesideBareLoops)->Arg(0)->Arg(1)->Iterations(400)->UseRealTime();
BENCHMARK(BM_DownloadServiceBesideBareLoop)
    ->ArgsProduct({{0, 1}, {1, 2, 0}})
    ->Iterations(10)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void Row(const std::string& ours, const std::string& peer, const char* unit, double scale) {
    const auto& a = g_samples[ours];
    const auto& b = g_samples[peer];
    if (a.empty() || b.empty()) return;
    for (double p : {0.50, 0.99}) {
        const double x = Percentile(a, p) / scale, y = Percentile(b, p) / scale;
        std::printf("  %-42s p%-2.0f %8.1f %s   %-42s %8.1f %s   ratio %5.2fx\n", ours.c_str(),
                    p * 100, x, unit, peer.c_str(), y, unit, x / y);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nsummary (ours beside its peer, ratio = ours / peer):\n");
    for (bool secure : {false, true}) {
        Row(Key("HttpPutGet", secure), Key("bare reused handle", secure), "us", 1);
        Row(Key("bare new handle", secure), Key("HttpPutGet", secure), "us", 1);
    }
    for (int before : {1, 2, 0})
        for (bool secure : {false, true})
            Row(Key("download service", secure) + kBefore[before],
                Key("bare download loop", secure) + kBefore[before], "ms", 1000);
    benchmark::Shutdown();
    return 0;
}
