// A 4 MiB image sent to the simulated device in 1024-byte blocks through CPassThruDll, against
// a bare loop that makes the same Ioctl calls with the same payloads straight into the library.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "device/passthru_dll.h"
#include "platform/dynlib.h"
#include "ratio_reporter.h"
#include "support/base64.h"

namespace {

constexpr std::size_t kImage = 4 << 20;
constexpr std::size_t kBlock = 1024;

struct Setup {
    std::string state;
    std::vector<unsigned char> image;
    J2534_ULONG channel = 0, device = 0;

    Setup() : image(kImage) {
        char tmpl[] = "/tmp/velkor-fwbench-XXXXXX";
        state = mkdtemp(tmpl);
        setenv("PASSTHRU_SIM_STATE", state.c_str(), 1);
        for (std::size_t i = 0; i < kImage; ++i) image[i] = static_cast<unsigned char>(i * 131);
        CPassThruDll* dll = CPassThruDll::GetInstance();
        if (!dll->LoadDll(SIM_LIBRARY) || dll->Open("QVX_USB_J2534", &device) != 0 ||
            dll->Connect(device, PROTOCOL_DEVICE_MGMT, 0, 0, &channel) != 0)
            std::abort();
    }
    ~Setup() { std::filesystem::remove_all(state); }
    void ClearJournal() const { truncate((state + "/journal").c_str(), 0); }
};

Setup& Sim() {
    static Setup s;
    return s;
}

void BM_SendImageThroughCPassThruDll(benchmark::State& state) {
    Setup& s = Sim();
    CPassThruDll* dll = CPassThruDll::GetInstance();
    for (auto _ : state) {
        for (std::size_t at = 0; at < kImage; at += kBlock)
            dll->SendFirmwareBlock(s.channel, kBlock, s.image.data() + at, false);
        if (!dll->SendTransferEnd(s.channel, 0, nullptr)) state.SkipWithError("end refused");
        state.PauseTiming();
        s.ClearJournal();
        state.ResumeTiming();
    }
    state.counters["s_per_block"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * (kImage / kBlock),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SendImageThroughCPassThruDll)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same calls made directly: Base64 of each block into one reused zeroed block.
void BM_BareIoctlLoop(benchmark::State& state) {
    Setup& s = Sim();
    platform::DynamicLibrary lib;
    if (!lib.Load(SIM_LIBRARY)) std::abort();
    auto ioctl = reinterpret_cast<PTIOCTL>(lib.Symbol("PassThruIoctl"));
    std::vector<char> block(kBlock * 200, '\0');
    char end[1] = {'\0'};
    for (auto _ : state) {
        for (std::size_t at = 0; at < kImage; at += kBlock) {
            std::string text = Base64Encode(s.image.data() + at, kBlock);
            std::memcpy(block.data(), text.c_str(), text.size() + 1);
            ioctl(s.channel, IOCTL_FW_BLOCK, block.data(), nullptr);
        }
        if (ioctl(s.channel, IOCTL_FW_TRANSFER_END, end, nullptr) != 0)
            state.SkipWithError("end refused");
        state.PauseTiming();
        s.ClearJournal();
        state.ResumeTiming();
    }
    state.counters["s_per_block"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * (kImage / kBlock),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BareIoctlLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

RATIO_BENCHMARK_MAIN({"BM_SendImageThroughCPassThruDll/real_time", "BM_BareIoctlLoop/real_time"})
