// A network of the test's own: the calling process moves into a new network namespace whose
// loopback interface is up and carries multicast (a route for 239.0.0.0/8), so SSDP traffic
// of the test reaches nothing outside it and nothing of other programs reaches the test.
#pragma once

#include <string>

namespace testutil {

// True once the process is in its own network; false with `reason` where the system allows
// no namespace (then the caller skips). Threads started before keep the old network, so call
// it before starting any.
bool EnterPrivateNetwork(std::string* reason);

}  // namespace testutil
