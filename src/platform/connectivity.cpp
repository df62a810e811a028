#include "platform/connectivity.h"

#include <ifaddrs.h>
#include <net/if.h>

#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

namespace platform {
namespace {

std::mutex g_probeMutex;
std::function<int()> g_probe;

// True when /proc/net/route (IPv4) or /proc/net/ipv6_route lists an active default route.
bool HasDefaultRoute(bool& readable) {
    readable = false;
    std::ifstream v4("/proc/net/route");
    if (v4) {
        readable = true;
        std::string line, iface, dest, gateway;
        unsigned flags = 0;
        std::getline(v4, line);  // header
        while (std::getline(v4, line)) {
            std::istringstream f(line);
            if (f >> iface >> dest >> gateway >> std::hex >> flags && dest == "00000000" &&
                (flags & 0x1))
                return true;
        }
    }
    std::ifstream v6("/proc/net/ipv6_route");
    if (v6) {
        readable = true;
        std::string line;
        while (std::getline(v6, line)) {
            std::istringstream f(line);
            std::string dest, prefix, src, srcPrefix, next, metric, ref, use, flags, iface;
            if (f >> dest >> prefix >> src >> srcPrefix >> next >> metric >> ref >> use >>
                    flags >> iface &&
                dest == std::string(32, '0') && prefix == "00" && iface != "lo")
                return true;
        }
    }
    return false;
}

int SystemProbe() {
    bool readable = false;
    if (HasDefaultRoute(readable)) return kInternet;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return readable ? kNoNetwork : kCheckFailed;
    bool local = false;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (a->ifa_addr && (a->ifa_flags & IFF_UP) && !(a->ifa_flags & IFF_LOOPBACK)) local = true;
    }
    freeifaddrs(list);
    return local ? kLocalNetwork : kNoNetwork;
}

}  // namespace

int CheckConnectivity() {
    std::function<int()> probe;
    {
        std::lock_guard<std::mutex> lock(g_probeMutex);
        probe = g_probe;
    }
    return probe ? probe() : SystemProbe();
}

void SetConnectivityProbe(std::function<int()> probe) {
    std::lock_guard<std::mutex> lock(g_probeMutex);
    g_probe = std::move(probe);
}

}  // namespace platform
