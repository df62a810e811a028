// HttpPutGet beside bare libcurl loops (one reused handle; a new handle per request) over
// HTTP and HTTPS, and the download service beside a bare reused-handle loop, all against
// the same reference web service on loopback. After Google Benchmark's own table, a summary
// prints each figure beside its peer with the ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

void BM_HttpPutGet(benchmark::State& state) {
    BenchPeer& peer = BenchPeer::Get();
    const bool secure = state.range(0) != 0;
    CCurl_Util client;
    const std::string url = peer.PostUrl(secure);
    auto& samples = g_samples[Key("HttpPutGet", secure)];
    std::string answer;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (!client.HttpPutGet(50, true, url, peer.requestBody, &answer))
            state.SkipWithError(answer.c_str());
        samples.push_back(Micros(Clock::now() - t0));
    }
}

void BM_BareReusedHandle(benchmark::State& state) {
    BenchPeer& peer = BenchPeer::Get();
    const bool secure = state.range(0) != 0;
    CURL* handle = curl_easy_init();
    const std::string url = peer.PostUrl(secure);
    auto& samples = g_samples[Key("bare reused handle", secure)];
    for (auto _ : state) {
        std::string body;
        const auto t0 = Clock::now();
        if (!BareTransfer(handle, url, &peer.requestBody, peer.certFile, body))
            state.SkipWithError("transfer failed");
        samples.push_back(Micros(Clock::now() - t0));
    }
    curl_easy_cleanup(handle);
}

void BM_BareNewHandle(benchmark::State& state) {
    BenchPeer& peer = BenchPeer::Get();
    const bool secure = state.range(0) != 0;
    const std::string url = peer.PostUrl(secure);
    auto& samples = g_samples[Key("bare new handle", secure)];
    for (auto _ : state) {
        std::string body;
        const auto t0 = Clock::now();
        CURL* handle = curl_easy_init();
        if (!BareTransfer(handle, url, &peer.requestBody, peer.certFile, body))
            state.SkipWithError("transfer failed");
        curl_easy_cleanup(handle);
        samples.push_back(Micros(Clock::now() - t0));
    }
}

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

void BM_DownloadService(benchmark::State& state) {
    BenchPeer& peer = BenchPeer::Get();
    const bool secure = state.range(0) != 0;
    MakeDownloadFiles(peer);
    CCurl_Util client;
    client.SetDataUrl(peer.BaseUrl(secure));
    auto& samples = g_samples[Key("download service", secure)];
    for (auto _ : state) {
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
        samples.push_back(Micros(Clock::now() - t0));
    }
    if (!std::filesystem::exists(peer.root + "/local/f" + std::to_string(kFiles - 1)))
        state.SkipWithError("download service did not fetch every file");
}

void BM_BareDownloadLoop(benchmark::State& state) {
    BenchPeer& peer = BenchPeer::Get();
    const bool secure = state.range(0) != 0;
    MakeDownloadFiles(peer);
    CURL* handle = curl_easy_init();
    auto& samples = g_samples[Key("bare download loop", secure)];
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "f" + std::to_string(i);
            std::string body;
            if (!BareTransfer(handle, peer.BaseUrl(secure) + "/dl//" + name, nullptr, peer.certFile,
                              body))
                state.SkipWithError("transfer failed");
            std::ofstream(peer.root + "/local/bare-" + name, std::ios::binary) << body;
        }
        samples.push_back(Micros(Clock::now() - t0));
    }
    curl_easy_cleanup(handle);
}

BENCHMARK(BM_HttpPutGet)->Arg(0)->Arg(1)->Iterations(500)->UseRealTime();
BENCHMARK(BM_BareReusedHandle)->Arg(0)->Arg(1)->Iterations(500)->UseRealTime();
BENCHMARK(BM_BareNewHandle)->Arg(0)->Arg(1)->Iterations(200)->UseRealTime();
BENCHMARK(BM_DownloadService)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareDownloadLoop)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void Row(const std::string& ours, const std::string& peer, const char* unit, double scale) {
    const auto& a = g_samples[ours];
    const auto& b = g_samples[peer];
    if (a.empty() || b.empty()) return;
    for (double p : {0.50, 0.99}) {
        const double x = Percentile(a, p) / scale, y = Percentile(b, p) / scale;
        std::printf("  %-26s p%-2.0f %10.1f %s   %-26s %10.1f %s   ratio %5.2fx\n", ours.c_str(),
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
    for (bool secure : {false, true})
        Row(Key("download service", secure), Key("bare download loop", secure), "ms", 1000);
    benchmark::Shutdown();
    return 0;
}
