#include "platform/connectivity.h"

#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>

namespace platform {
namespace {

// Route and interface flags of the kernel's tables.
constexpr unsigned kRouteUp = 0x0001;
constexpr unsigned kRouteReject = 0x0200;
constexpr unsigned kInterfaceUp = 0x1;
constexpr unsigned kInterfaceLoopback = 0x8;

std::mutex g_probeMutex;
std::function<int()> g_probe;

bool UsableRoute(unsigned flags) {
    return (flags & kRouteUp) && !(flags & kRouteReject);
}

// Whether proc/net/route (IPv4) or proc/net/ipv6_route lists a usable default route;
// nothing when neither table can be read.
std::optional<bool> HasDefaultRoute(const std::string& root) {
    bool readable = false;
    std::ifstream v4(root + "/proc/net/route");
    if (v4) {
        readable = true;
        std::string line, iface, dest, gateway;
        unsigned flags = 0;
        std::getline(v4, line);  // header
        while (std::getline(v4, line)) {
            std::istringstream f(line);
            if (f >> iface >> dest >> gateway >> std::hex >> flags && dest == "00000000" &&
                UsableRoute(flags))
                return true;
        }
    }
    std::ifstream v6(root + "/proc/net/ipv6_route");
    if (v6) {
        readable = true;
        std::string line;
        while (std::getline(v6, line)) {
            std::istringstream f(line);
            std::string dest, prefix, src, srcPrefix, next, metric, ref, use, iface;
            unsigned flags = 0;
            if (f >> dest >> prefix >> src >> srcPrefix >> next >> metric >> ref >> use >>
                    std::hex >> flags >> iface &&
                dest == std::string(32, '0') && prefix == "00" && iface != "lo" &&
                UsableRoute(flags))
                return true;
        }
    }
    if (!readable) return std::nullopt;
    return false;
}

// Whether an interface other than the loopback one is up, by sys/class/net/<name>/flags;
// nothing when the interface list cannot be read.
std::optional<bool> LocalInterfaceUp(const std::string& root) {
    std::error_code ec;
    std::filesystem::directory_iterator it(root + "/sys/class/net", ec), end;
    if (ec) return std::nullopt;
    for (; it != end; it.increment(ec)) {
        std::ifstream in(it->path() / "flags");
        unsigned flags = 0;
        // An interface that went away since the listing has no flags: it is not up.
        if (in >> std::hex >> flags && (flags & kInterfaceUp) && !(flags & kInterfaceLoopback))
            return true;
    }
    if (ec) return std::nullopt;
    return false;
}

}  // namespace

int ProbeConnectivity(const std::string& root) {
    const std::optional<bool> route = HasDefaultRoute(root);
    if (route == true) return kInternet;
    const std::optional<bool> local = LocalInterfaceUp(root);
    if (!route || !local) return kCheckFailed;
    return *local ? kLocalNetwork : kNoNetwork;
}

int CheckConnectivity() {
    std::function<int()> probe;
    {
        std::lock_guard<std::mutex> lock(g_probeMutex);
        probe = g_probe;
    }
    return probe ? probe() : ProbeConnectivity("");
}

void SetConnectivityProbe(std::function<int()> probe) {
    std::lock_guard<std::mutex> lock(g_probeMutex);
    g_probe = std::move(probe);
}

}  // namespace platform
