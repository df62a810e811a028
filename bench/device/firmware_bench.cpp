// A 4 MiB image sent to the simulated device in 1024-byte blocks through CPassThruDll, against
// a bare loop that makes the same Ioctl calls with the same payloads straight into the library.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_report.h"
#include "device/passthru_dll.h"
#include "platform/dynlib.h"
#include "support/base64.h"
#include "temp_dir.h"

namespace {

constexpr std::size_t kImage = 4 << 20;
constexpr std::size_t kBlock = 1024;

struct Setup {
    testutil::TempDir state;
    std::vector<unsigned char> image;
    J2534_ULONG channel = 0, device = 0;

    Setup() : image(kImage) {
        setenv("PASSTHRU_SIM_STATE", state.path().c_str(), 1);
        for (std::size_t i = 0; i < kImage; ++i) image[i] = static_cast<unsigned char>(i * 131);
        CPassThruDll* dll = CPassThruDll::GetInstance();
        if (!dll->LoadDll(SIM_LIBRARY) || dll->Open("QVX_USB_J2534", &device) != 0 ||
            dll->Connect(device, PROTOCOL_DEVICE_MGMT, 0, 0, &channel) != 0)
            std::abort();
    }
    // Empties the simulator's journal outside the timing, so a run does not grow it.
    void ClearJournal(benchmark::State& run) const {
        run.PauseTiming();
        truncate((state / "journal").c_str(), 0);
        run.ResumeTiming();
    }
};

Setup& Sim() {
    static Setup s;
    return s;
}

// Seconds per 1024-byte block, beside Google Benchmark's time per image.
void CountBlocks(benchmark::State& state) {
    state.counters["s_per_block"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * (kImage / kBlock),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void SendImageThroughCPassThruDll(benchmark::State& state, const std::string& name) {
    Setup& s = Sim();
    CPassThruDll* dll = CPassThruDll::GetInstance();
    bench::Series& series = bench::Series::Start(name, kImage);
    for (auto _ : state) {
        const bool ended = series.Time([&] {
            for (std::size_t at = 0; at < kImage; at += kBlock)
                dll->SendFirmwareBlock(s.channel, kBlock, s.image.data() + at, false);
            return dll->SendTransferEnd(s.channel, 0, nullptr);
        });
        if (!ended) state.SkipWithError("end refused");
        s.ClearJournal(state);
    }
    CountBlocks(state);
}

// The same calls made directly: Base64 of each block into one reused zeroed block.
void BareIoctlLoop(benchmark::State& state, const std::string& name) {
    Setup& s = Sim();
    platform::DynamicLibrary lib;
    if (!lib.Load(SIM_LIBRARY)) std::abort();
    auto ioctl = reinterpret_cast<PTIOCTL>(lib.Symbol("PassThruIoctl"));
    std::vector<char> block(kBlock * 200, '\0');
    char end[1] = {'\0'};
    bench::Series& series = bench::Series::Start(name, kImage);
    for (auto _ : state) {
        const auto ended = series.Time([&] {
            for (std::size_t at = 0; at < kImage; at += kBlock) {
                std::string text = Base64Encode(s.image.data() + at, kBlock);
                std::memcpy(block.data(), text.c_str(), text.size() + 1);
                ioctl(s.channel, IOCTL_FW_BLOCK, block.data(), nullptr);
            }
            return ioctl(s.channel, IOCTL_FW_TRANSFER_END, end, nullptr);
        });
        if (ended != 0) state.SkipWithError("end refused");
        s.ClearJournal(state);
    }
    CountBlocks(state);
}

}  // namespace

int main(int argc, char** argv) {
    bench::Register("4 MiB firmware image in 1024-byte blocks: ours", SendImageThroughCPassThruDll)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    bench::Register("4 MiB firmware image in 1024-byte blocks: bare Ioctl loop", BareIoctlLoop)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    return bench::RunBenchmarks(argc, argv);
}
