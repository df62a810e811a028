// Whether this computer reaches the Internet.
#pragma once

#include <functional>
#include <string>

namespace platform {

enum Connectivity : int {
    kInternet = 0,      // a default route exists
    kNoNetwork = 1,     // nothing but the loopback interface is up
    kLocalNetwork = 2,  // an interface is up, but there is no default route
    kCheckFailed = 3,   // the check itself failed
};

// One of the Connectivity values.
int CheckConnectivity();

// Replaces the probe CheckConnectivity() uses (a test's own); an empty function restores the
// system probe.
void SetConnectivityProbe(std::function<int()> probe);

// The system probe, reading the kernel's files below `root` ("" for the real ones):
// proc/net/route and proc/net/ipv6_route for a default route, sys/class/net/*/flags for
// the interfaces that are up. When no route table can be read, or the interface list
// cannot, the check has failed.
int ProbeConnectivity(const std::string& root);

}  // namespace platform
