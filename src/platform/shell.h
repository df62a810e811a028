// Starting the maintenance scripts that ship beside the program.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// What a script started with no terminal window writes (standard output and standard error
// together) and how it ended. The script keeps running when this goes away; only the
// watching stops. Nothing here blocks unless asked to wait.
class ScriptOutput {
public:
    // `logFd` holds the output (read with pread), `endFd` is the read end of a pipe that
    // yields the exit code as text once the script has ended; both are owned from here on.
    ScriptOutput(int logFd, int endFd, std::string logPath);
    ~ScriptOutput();
    ScriptOutput(const ScriptOutput&) = delete;
    ScriptOutput& operator=(const ScriptOutput&) = delete;

    // True once the script has ended; waits up to `milliseconds` for that (0: just looks).
    bool Ended(int milliseconds = 0);
    // The exit code once ended, as the shell gives it (128 + the signal's number when a
    // signal ended the script); -1 when the end went unseen (the watching shell was killed).
    int ExitCode() const { return m_exitCode; }
    // The last `maxBytes` bytes written so far.
    std::string Text(std::size_t maxBytes = 64 * 1024) const;
    // The log file in the script's folder; empty when the folder took none and the output
    // went to an unnamed temporary file.
    const std::string& LogPath() const { return m_logPath; }

private:
    int m_logFd;
    int m_endFd;
    std::string m_logPath;
    std::string m_endText;
    bool m_ended = false;
    int m_exitCode = -1;
};

struct ScriptStart {
    bool started = false;                  // a process runs the script
    std::unique_ptr<ScriptOutput> output;  // set when no terminal window shows the script
};

// Runs `/bin/sh <script>` with `folder` as its working folder, in a session of its own and,
// when a terminal program is at hand on an X display, in a terminal window. Returns once the
// script is started, never waiting for it; `started` is false when no process could be
// started.
//
// The terminal is taken from $VELKOR_TERMINAL ("none" runs the script without one; a name
// without a slash is looked up on the PATH, a relative path from the current folder), else
// x-terminal-emulator or xterm from the PATH. With no terminal the script reads nothing
// (standard input is /dev/null) and its output goes to `folder`/`logName`, truncated at
// the start (an unnamed temporary file when that cannot be written).
ScriptStart StartScript(const std::string& folder, const std::string& script,
                        const std::string& logName);

}  // namespace platform
