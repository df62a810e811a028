#include "platform/elevation.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "platform/registry.h"

namespace platform {

bool IsUserAnAdmin(std::string* reason) {
    const std::string folder = PassThruStoreFolder();
    int error = 0;
    if (!IsDirectory(folder))
        error = ENOENT;
    else if (::access(folder.c_str(), W_OK | X_OK) != 0)
        error = errno;
    if (error == 0) return true;
    if (reason) *reason = folder + ": " + std::strerror(error);
    return false;
}

}  // namespace platform
