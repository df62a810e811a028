#include "platform/shell.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

namespace platform {
namespace {

// Pipe ends are moved this high so that setting up fds 0 to 3 in the child never
// overwrites one of them.
constexpr int kHighFd = 16;

// Runs the script with its output in the log and, through fd 3, tells its exit code once
// it has ended. The script itself does not get fd 3.
constexpr const char* kWatchedRun = "/bin/sh \"$0\" 3>&-; echo $? >&3";

bool Runnable(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// `path` from the current folder, so that it still names the same file after a chdir.
std::string Absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    std::error_code ec;
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    return ec ? path : (cwd / path).string();
}

// The program as execv needs it: a name without a slash is looked up on the PATH, a path
// is taken from the current folder. Empty when there is no such program.
std::string FindProgram(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return Runnable(program) ? Absolute(program) : std::string();
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (Runnable(candidate)) return Absolute(candidate);
    }
    return std::string();
}

// The terminal program to wrap the script in: empty for none, nothing when the one asked
// for is not there.
std::optional<std::string> TerminalProgram() {
    const char* chosen = std::getenv("VELKOR_TERMINAL");
    if (chosen && *chosen) {
        if (std::string(chosen) == "none") return std::string();
        std::string full = FindProgram(chosen);
        if (full.empty()) return std::nullopt;
        return full;
    }
    if (!std::getenv("DISPLAY")) return std::string();
    for (const char* t : {"x-terminal-emulator", "xterm"}) {
        std::string full = FindProgram(t);
        if (!full.empty()) return full;
    }
    return std::string();
}

// The file the output of a script without a terminal goes to: `path`, else an unnamed
// temporary file (then `path` is cleared). -1 when neither can be made.
int OpenLog(std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    path.clear();
    std::error_code ec;
    const std::string tmp = std::filesystem::temp_directory_path(ec).string();
    return open(ec ? "/tmp" : tmp.c_str(), O_TMPFILE | O_RDWR | O_APPEND | O_CLOEXEC, 0600);
}

// A close-on-exec pipe with both ends at kHighFd or above.
bool HighPipe(int fds[2]) {
    int low[2];
    if (pipe2(low, O_CLOEXEC) != 0) return false;
    fds[0] = fcntl(low[0], F_DUPFD_CLOEXEC, kHighFd);
    fds[1] = fcntl(low[1], F_DUPFD_CLOEXEC, kHighFd);
    close(low[0]);
    close(low[1]);
    if (fds[0] >= 0 && fds[1] >= 0) return true;
    if (fds[0] >= 0) close(fds[0]);
    if (fds[1] >= 0) close(fds[1]);
    return false;
}

void CloseAll(std::initializer_list<int> fds) {
    for (int fd : fds)
        if (fd >= 0) close(fd);
}

}  // namespace

ScriptOutput::ScriptOutput(int logFd, int endFd, std::string logPath)
    : m_logFd(logFd), m_endFd(endFd), m_logPath(std::move(logPath)) {}

ScriptOutput::~ScriptOutput() {
    CloseAll({m_logFd, m_endFd});
}

bool ScriptOutput::Ended(int milliseconds) {
    if (m_ended) return true;
    pollfd p{m_endFd, POLLIN, 0};
    if (poll(&p, 1, milliseconds) <= 0) return false;
    // The exit code comes as one line; the end of the file alone means the watching shell
    // went away without telling it.
    char buf[32];
    for (;;) {
        ssize_t n = read(m_endFd, buf, sizeof buf);
        if (n > 0) {
            m_endText.append(buf, static_cast<std::size_t>(n));
            if (m_endText.find('\n') != std::string::npos) break;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;  // EAGAIN: the rest of the line is still to come
        break;
    }
    m_ended = true;
    char* end = nullptr;
    long code = std::strtol(m_endText.c_str(), &end, 10);
    m_exitCode = end != m_endText.c_str() && code >= 0 && code <= 255 ? static_cast<int>(code) : -1;
    return true;
}

std::string ScriptOutput::Text(std::size_t maxBytes) const {
    struct stat st;
    if (fstat(m_logFd, &st) != 0) return std::string();
    const auto size = static_cast<std::size_t>(st.st_size);
    off_t at = static_cast<off_t>(size > maxBytes ? size - maxBytes : 0);
    std::string text(size - static_cast<std::size_t>(at), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        ssize_t n = pread(m_logFd, text.data() + got, text.size() - got, at + got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    return text;
}

ScriptStart StartScript(const std::string& folder, const std::string& script,
                        const std::string& logName) {
    // Everything that reads the environment or the current folder happens here, before the
    // child changes folder.
    std::optional<std::string> terminal = TerminalProgram();
    if (!terminal) return {};
    const bool watched = terminal->empty();
    std::vector<std::string> args;
    if (!watched)
        args = {*terminal, "-e", "/bin/sh", script};
    else
        args = {"/bin/sh", "-c", kWatchedRun, script};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::string logPath = folder + "/" + logName;
    int log = -1, nullIn = -1, ended[2] = {-1, -1};
    if (watched) {
        log = OpenLog(logPath);
        nullIn = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (log < 0 || nullIn < 0 || !HighPipe(ended)) {
            CloseAll({log, nullIn, ended[0], ended[1]});
            return {};
        }
    }

    // Double fork: the grandchild runs the script in its own session and is adopted by init,
    // so it outlives us and never lingers as a zombie. A close-on-exec pipe tells whether the
    // exec happened. Only async-signal-safe calls after fork.
    int ready[2];
    if (!HighPipe(ready)) {
        CloseAll({log, nullIn, ended[0], ended[1]});
        return {};
    }
    pid_t child = fork();
    if (child < 0) {
        CloseAll({log, nullIn, ended[0], ended[1], ready[0], ready[1]});
        return {};
    }
    if (child == 0) {
        close(ready[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        bool ok = chdir(folder.c_str()) == 0;
        if (ok && watched)
            ok = dup2(nullIn, 0) == 0 && dup2(log, 1) == 1 && dup2(log, 2) == 2 &&
                 dup2(ended[1], 3) == 3;  // dup2 leaves the copies open across exec
        if (ok) execv(argv[0], argv.data());
        int err = errno;
        ssize_t ignored = write(ready[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
    }
    CloseAll({ready[1], nullIn, ended[1]});
    int status = 0;
    waitpid(child, &status, 0);
    int err = 0;
    ssize_t n;
    do {
        n = read(ready[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    close(ready[0]);
    if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0)) {
        CloseAll({log, ended[0]});
        return {};
    }
    ScriptStart start;
    start.started = true;
    if (watched) {
        fcntl(ended[0], F_SETFL, O_NONBLOCK);
        start.output = std::make_unique<ScriptOutput>(log, ended[0], logPath);
    }
    return start;
}

}  // namespace platform
