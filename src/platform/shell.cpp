#include "platform/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace platform {
namespace {

bool OnPath(const std::string& program, std::string& full) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            full = candidate;
            return true;
        }
    }
    return false;
}

// The terminal program to wrap the script in, or empty for none.
std::string TerminalProgram() {
    const char* chosen = std::getenv("VELKOR_TERMINAL");
    if (chosen && *chosen) return std::string(chosen) == "none" ? std::string() : chosen;
    if (!std::getenv("DISPLAY")) return std::string();
    std::string full;
    for (const char* t : {"x-terminal-emulator", "xterm"})
        if (OnPath(t, full)) return full;
    return std::string();
}

}  // namespace

bool StartScript(const std::string& folder, const std::string& script) {
    std::vector<std::string> args;
    std::string terminal = TerminalProgram();
    if (!terminal.empty()) {
        args = {terminal, "-e", "/bin/sh", script};
    } else {
        args = {"/bin/sh", script};
    }
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    // Double fork: the grandchild runs the script in its own session and is adopted by init,
    // so it outlives us and never lingers as a zombie. A close-on-exec pipe tells whether the
    // exec happened. Only async-signal-safe calls after fork.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(ready[0]);
        close(ready[1]);
        return false;
    }
    if (child == 0) {
        close(ready[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        int err = 0;
        if (chdir(folder.c_str()) == 0) execv(argv[0], argv.data());
        err = errno;
        ssize_t ignored = write(ready[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
    }
    close(ready[1]);
    int status = 0;
    waitpid(child, &status, 0);
    int err = 0;
    ssize_t n;
    do {
        n = read(ready[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    close(ready[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

}  // namespace platform
