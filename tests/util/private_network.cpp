#include "private_network.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace testutil {
namespace {

bool WriteProc(const std::string& path, const std::string& text) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// Without the right to make a network namespace, a user namespace of our own grants it (the
// process is root inside it).
bool UnshareAsUser(std::string* reason) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
        *reason = std::string("unshare: ") + std::strerror(errno);
        return false;
    }
    WriteProc("/proc/self/setgroups", "deny");
    return WriteProc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") &&
           WriteProc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n");
}

}  // namespace

bool EnterPrivateNetwork(std::string* reason) {
    if (::unshare(CLONE_NEWNET) != 0 && (errno != EPERM || !UnshareAsUser(reason))) {
        if (reason->empty()) *reason = std::string("unshare: ") + std::strerror(errno);
        return false;
    }
    const char* setup =
        "ip link set lo up multicast on && ip route add 239.0.0.0/8 dev lo 2>/dev/null";
    if (std::system(setup) != 0) {
        *reason = std::string("could not bring up the namespace's loopback: ") + setup;
        return false;
    }
    return true;
}

}  // namespace testutil
