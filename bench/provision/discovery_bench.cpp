// Time from a search to a listed device on loopback, inside a network namespace of the
// program's own: simulated Wi-Fi devices that answer searches only (1 and 50 at once), found
// by CSSDP_Discover, beside a bare loop that sends the same search from a plain socket,
// collects the answers and GETs each description with plain libcurl.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "bench_report.h"
#include "http_client.h"
#include "platform/net.h"
#include "private_network.h"
#include "provision/ssdp_discover.h"
#include "provision/ssdp_reader.h"
#include "sim_announce.h"

namespace {

// The devices of a run, started once for the program.
std::vector<std::unique_ptr<sim::SsdpAnnouncer>>& Devices(std::size_t count) {
    static std::vector<std::unique_ptr<sim::SsdpAnnouncer>> devices;
    while (devices.size() < count) {
        auto device = std::make_unique<sim::SsdpAnnouncer>();
        sim::AnnounceOptions options;
        options.name = "QVX_WIFIAP_J2534-" + std::to_string(devices.size());
        options.notify = false;
        std::string error;
        if (!device->Start(options, &error)) {
            std::fprintf(stderr, "device: %s\n", error.c_str());
            std::abort();
        }
        devices.push_back(std::move(device));
    }
    return devices;
}

provision::SsdpSettings Loopback() {
    provision::SsdpSettings s;
    s.message = provision::SearchMessage("1900");
    s.interfaceAddress = "127.0.0.1";
    return s;
}

// From StartThreads, whose sender searches at once, until `count` devices are listed.
void Ours(benchmark::State& state, const std::string& name) {
    const auto count = static_cast<std::size_t>(state.range(0));
    Devices(count);
    bench::Series& series = bench::Series::Start(name);
    for (auto _ : state) {
        CSSDP_Discover discovery(Loopback());
        std::vector<std::string> names;
        const auto start = bench::Clock::now();
        discovery.StartThreads();
        while (discovery.GetDeviceNames(names) < count) {
            if (bench::Clock::now() - start > std::chrono::seconds(10)) {
                state.SkipWithError("devices missing");
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        series.Add(bench::Clock::now() - start);
        state.SetIterationTime(std::chrono::duration<double>(bench::Clock::now() - start).count());
    }
}

// One search from a plain socket; answers read until `count` locations came; each fetched.
void BareLoop(benchmark::State& state, const std::string& name) {
    const auto count = static_cast<std::size_t>(state.range(0));
    Devices(count);
    std::uint32_t loopback = 0, group = 0;
    platform::ParseIpv4("127.0.0.1", loopback);
    platform::ParseIpv4(provision::kSsdpGroup, group);
    const std::string search = provision::SearchMessage("1900");
    testutil::HttpClient http;
    bench::Series& series = bench::Series::Start(name);
    std::vector<char> buffer(4096);
    for (auto _ : state) {
        const auto start = bench::Clock::now();
        platform::UdpSocket socket;
        socket.Open();
        socket.SetMulticastInterface(loopback);
        socket.Bind(loopback, 0);
        socket.SendTo(group, 1900, search.data(), search.size());
        std::set<std::string> locations, names;
        while (names.size() < count) {
            std::size_t size = 0;
            std::uint32_t from = 0;
            std::uint16_t port = 0;
            if (socket.ReceiveFrom(buffer.data(), buffer.size(), size, from, port, 1000) !=
                platform::UdpSocket::Receive::kDatagram) {
                state.SkipWithError("answers missing");
                break;
            }
            for (const std::string& l : provision::DatagramLocations(buffer.data(), size)) {
                std::string friendly;
                if (locations.insert(l).second &&
                    provision::DescriptionFriendlyName(http.Get(l).body, friendly))
                    names.insert(friendly);
            }
        }
        series.Add(bench::Clock::now() - start);
        state.SetIterationTime(std::chrono::duration<double>(bench::Clock::now() - start).count());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string reason;
    if (!testutil::EnterPrivateNetwork(&reason)) {
        std::fprintf(stderr, "discovery_bench: no network of its own: %s\n", reason.c_str());
        return 1;
    }
    for (int devices : {1, 50}) {
        const std::string which = devices == 1 ? "1 device" : "50 devices";
        bench::Register(which + " answering a search, listed: ours", Ours)
            ->Arg(devices)
            ->Iterations(devices == 1 ? 30 : 10)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        bench::Register(which + " answering a search, listed: bare socket and libcurl", BareLoop)
            ->Arg(devices)
            ->Iterations(devices == 1 ? 30 : 10)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return bench::RunBenchmarks(argc, argv);
}
