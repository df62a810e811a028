// Whether this computer reaches the Internet.
#pragma once

#include <functional>

namespace platform {

enum Connectivity : int {
    kInternet = 0,      // a default route exists
    kNoNetwork = 1,     // nothing but the loopback interface is up
    kLocalNetwork = 2,  // local addresses only, no default route
    kCheckFailed = 3,   // the check itself failed
};

// One of the Connectivity values.
int CheckConnectivity();

// Replaces the probe CheckConnectivity() uses (a test's own); an empty function restores the
// system probe.
void SetConnectivityProbe(std::function<int()> probe);

}  // namespace platform
