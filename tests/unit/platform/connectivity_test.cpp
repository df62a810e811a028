#include "platform/connectivity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

const char* kRouteHeader =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
const std::string kV4Default = "eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n";
const std::string kV4Subnet = "eth0\t0000A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n";
const std::string kV4DefaultDown = "eth0\t00000000\t0100A8C0\t0002\t0\t0\t100\t00000000\t0\t0\t0\n";
const std::string kV4Unreachable = "*\t00000000\t00000000\t0201\t0\t0\t0\t00000000\t0\t0\t0\n";
const std::string kZero32(32, '0');
const std::string kV6Default = kZero32 + " 00 " + kZero32 + " 00 fe800000000000000000000000000001" +
                               " 00000400 00000001 00000000 00000003     eth0\n";
// The kernel's own catch-all on the loopback interface: no way out.
const std::string kV6LoopbackReject = kZero32 + " 00 " + kZero32 + " 00 " + kZero32 +
                                      " ffffffff 00000001 00000000 00200200       lo\n";
const std::string kV6Link = "fe800000000000000000000000000000 40 " + kZero32 + " 00 " + kZero32 +
                            " 00000100 00000001 00000000 00000001     eth0\n";

// Interface flags as sys/class/net/<name>/flags shows them.
const char* kLoopbackUp = "0x9\n";
const char* kEthernetUp = "0x1003\n";
const char* kEthernetDown = "0x1002\n";

// A root folder's kernel files; a table that is nullopt is not there.
struct Tree {
    std::optional<std::string> v4;  // proc/net/route, below its header line
    std::optional<std::string> v6;  // proc/net/ipv6_route
    std::map<std::string, const char*> interfaces;
    bool noInterfaceList = false;
};

void Write(const std::string& root, const Tree& t) {
    fs::create_directories(root + "/proc/net");
    if (t.v4) testutil::WriteFile(root + "/proc/net/route", kRouteHeader + *t.v4);
    if (t.v6) testutil::WriteFile(root + "/proc/net/ipv6_route", *t.v6);
    if (t.noInterfaceList) return;
    fs::create_directories(root + "/sys/class/net");
    for (const auto& [name, flags] : t.interfaces) {
        fs::create_directories(root + "/sys/class/net/" + name);
        testutil::WriteFile(root + "/sys/class/net/" + name + "/flags", flags);
    }
}

}  // namespace

// Every result from the route tables and the interface list of a file tree.
TEST(Connectivity, RoutesAndInterfacesGiveEachResult) {
    const std::map<std::string, const char*> loopbackOnly = {{"lo", kLoopbackUp}};
    const std::map<std::string, const char*> ethernetUp = {{"lo", kLoopbackUp},
                                                           {"eth0", kEthernetUp}};
    const std::map<std::string, const char*> ethernetDown = {{"lo", kLoopbackUp},
                                                             {"eth0", kEthernetDown}};
    struct Case {
        const char* name;
        Tree tree;
        int result;
    } cases[] = {
        {"IPv4 default route", {kV4Subnet + kV4Default, kV6Link, ethernetUp}, platform::kInternet},
        {"IPv4 table alone", {kV4Default, std::nullopt, ethernetUp}, platform::kInternet},
        {"IPv6 default route", {kV4Subnet, kV6Link + kV6Default, ethernetUp}, platform::kInternet},
        {"IPv6 table alone", {std::nullopt, kV6Default, ethernetUp}, platform::kInternet},
        {"default route not up", {kV4DefaultDown, kV6Link, ethernetUp}, platform::kLocalNetwork},
        {"unreachable defaults",
         {kV4Unreachable, kV6LoopbackReject, ethernetUp},
         platform::kLocalNetwork},
        {"subnet routes only", {kV4Subnet, kV6Link, ethernetUp}, platform::kLocalNetwork},
        {"only the loopback interface",
         {"", kV6LoopbackReject, loopbackOnly},
         platform::kNoNetwork},
        {"ethernet down", {kV4Subnet, "", ethernetDown}, platform::kNoNetwork},
        {"no interfaces", {"", "", {}}, platform::kNoNetwork},
        {"interface list unreadable", {kV4Subnet, kV6Link, {}, true}, platform::kCheckFailed},
        {"no route table", {std::nullopt, std::nullopt, ethernetUp}, platform::kCheckFailed},
        // A default route answers the question even when the interfaces cannot be listed.
        {"default route, no interface list", {kV4Default, "", {}, true}, platform::kInternet},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testutil::TempDir root;
        Write(root.path(), c.tree);
        EXPECT_EQ(platform::ProbeConnectivity(root.path()), c.result);
    }
}

TEST(Connectivity, SystemProbeAnswersAKnownValueAndProbeCanBeReplaced) {
    int real = platform::CheckConnectivity();
    EXPECT_GE(real, platform::kInternet);
    EXPECT_LE(real, platform::kCheckFailed);
    for (int v : {0, 1, 2, 3}) {
        platform::SetConnectivityProbe([v] { return v; });
        EXPECT_EQ(platform::CheckConnectivity(), v);
    }
    platform::SetConnectivityProbe({});
    EXPECT_EQ(platform::CheckConnectivity(), real);
}
