#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace platform {
namespace {
std::mutex g_moduleMutex;
std::string g_moduleOverride;
}  // namespace

std::string ModuleFileName() {
    {
        std::lock_guard<std::mutex> lock(g_moduleMutex);
        if (!g_moduleOverride.empty()) return g_moduleOverride;
    }
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return std::string();
        if (static_cast<std::size_t>(n) < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string ModuleDirectory() {
    std::string path = ModuleFileName();
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(0, cut);
}

void SetModuleFileNameForTesting(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_moduleMutex);
    g_moduleOverride = path;
}

bool MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }

bool PathExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform
