#include "platform/shell.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "platform/paths.h"
#include "temp_dir.h"

namespace fs = std::filesystem;
using testutil::ReadFile;
using testutil::TempDir;
using testutil::WaitFor;
using testutil::WriteFile;

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old.empty())
            unsetenv(m_name);
        else
            setenv(m_name, m_old.c_str(), 1);
    }

private:
    const char* m_name;
    std::string m_old;
};

std::string PathWith(const std::string& dir) {
    const char* path = std::getenv("PATH");
    return dir + ":" + (path ? path : "/usr/bin:/bin");
}

// A terminal stand-in: notes who it is and its arguments, then runs what follows "-e".
void MakeTerminal(const std::string& file, const std::string& who, const std::string& note) {
    WriteFile(file, "#!/bin/sh\necho \"" + who + " $*\" > '" + note + "'\nshift\nexec \"$@\"\n");
    fs::permissions(file, fs::perms::owner_all);
}

}  // namespace

// The script runs in its own folder, in a session of its own, and is not waited for.
TEST(Shell, StartsScriptInItsFolderWithoutWaiting) {
    ScopedEnv terminal("VELKOR_TERMINAL", "none");
    TempDir dir;
    const std::string folder = dir / "with blank";
    ASSERT_TRUE(platform::MakeDirectory(folder));
    WriteFile(folder + "/updater.sh",
              "{ pwd; cut -d' ' -f6 /proc/$$/stat; } > ran.tmp && mv ran.tmp ran.txt\n"
              "sleep 2\necho done > end.txt\n");
    auto start = std::chrono::steady_clock::now();
    platform::ScriptStart run = platform::StartScript(folder, "updater.sh", "updater.log");
    ASSERT_TRUE(run.started);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_TRUE(WaitFor([&] { return platform::PathExists(folder + "/ran.txt"); }, 10));
    std::string ran = ReadFile(folder + "/ran.txt");
    EXPECT_EQ(ran.substr(0, ran.find('\n')), folder);
    EXPECT_FALSE(platform::PathExists(folder + "/end.txt"));  // still running: not waited for
    ASSERT_NE(run.output, nullptr);
    EXPECT_FALSE(run.output->Ended());
    std::string sid = ran.substr(ran.find('\n') + 1);
    EXPECT_NE(std::stol(sid), static_cast<long>(getsid(0)));  // its own session
    EXPECT_TRUE(run.output->Ended(10000));
    EXPECT_TRUE(platform::PathExists(folder + "/end.txt"));
}

TEST(Shell, MissingFolderShellOrTerminalFails) {
    TempDir dir;
    {
        ScopedEnv terminal("VELKOR_TERMINAL", "none");
        EXPECT_FALSE(platform::StartScript(dir / "missing", "updater.sh", "updater.log").started);
        EXPECT_FALSE(fs::exists(dir / "missing"));
    }
    for (const std::string& missing : {dir / "no-terminal", std::string("velkor-no-terminal")}) {
        ScopedEnv terminal("VELKOR_TERMINAL", missing);
        EXPECT_FALSE(platform::StartScript(dir.path(), "updater.sh", "updater.log").started)
            << missing;
    }
}

// What a script without a terminal writes, on either stream, is kept in its folder's log
// with its exit code; it reads nothing and does not see the pipe that tells its end.
TEST(Shell, OutputAndExitCodeOfAScriptWithoutTerminal) {
    ScopedEnv terminal("VELKOR_TERMINAL", "none");
    struct Case {
        const char* name;
        std::string body;
        int code;
        std::string output;  // what the script wrote; the shell may add its word on a kill
    } cases[] = {
        {"fails", "echo out; echo err >&2; echo again\nexit 3\n", 3, "out\nerr\nagain\n"},
        {"reads nothing",
         "[ -t 0 ] && echo terminal; read -r line || echo 'no input'\n"
         "if { true >&3; } 2>/dev/null; then echo 'fd 3 open'; fi\n",
         0, "no input\n"},
        {"killed", "echo before\nkill -9 $$\necho after\n", 128 + 9, "before\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFile(dir / "updater.sh", c.body);
        WriteFile(dir / "updater.log", "the last run's output\n");
        platform::ScriptStart run = platform::StartScript(dir.path(), "updater.sh", "updater.log");
        ASSERT_TRUE(run.started);
        ASSERT_NE(run.output, nullptr);
        ASSERT_TRUE(run.output->Ended(10000));
        EXPECT_EQ(run.output->ExitCode(), c.code);
        const std::string text = run.output->Text();
        if (c.code > 128)
            EXPECT_EQ(text.substr(0, c.output.size()), c.output);
        else
            EXPECT_EQ(text, c.output);
        EXPECT_EQ(run.output->LogPath(), dir / "updater.log");
        EXPECT_EQ(ReadFile(dir / "updater.log"), text);  // truncated at the start
    }
}

// A folder that takes no log file still gets the output told, from an unnamed file; a long
// output is read from its end.
TEST(Shell, OutputWithoutALogFileAndItsEnd) {
    ScopedEnv terminal("VELKOR_TERMINAL", "none");
    TempDir dir;
    fs::create_directory(dir / "updater.log");  // no file can be made under that name
    WriteFile(dir / "updater.sh",
              "i=0; while [ $i -lt 2000 ]; do echo \"line $i\"; i=$((i+1)); done\n");
    platform::ScriptStart run = platform::StartScript(dir.path(), "updater.sh", "updater.log");
    ASSERT_TRUE(run.started);
    ASSERT_NE(run.output, nullptr);
    ASSERT_TRUE(run.output->Ended(10000));
    EXPECT_EQ(run.output->ExitCode(), 0);
    EXPECT_EQ(run.output->LogPath(), "");
    EXPECT_EQ(run.output->Text(20), "line 1998\nline 1999\n");
    EXPECT_EQ(run.output->Text().substr(0, 14), "line 0\nline 1\n");
    EXPECT_TRUE(fs::is_empty(dir / "updater.log"));
}

// The terminal is looked up before the script's folder becomes the working folder: a name
// on the PATH, a relative path from the current folder; never a file of the script's folder.
TEST(Shell, TerminalIsFoundOnThePathOrFromTheCurrentFolder) {
    TempDir dir;
    const std::string bin = dir / "bin";
    const std::string folder = dir / "scripts";
    fs::create_directories(bin);
    fs::create_directories(folder + "/bin");
    const std::string note = dir / "terminal.txt";
    MakeTerminal(bin + "/velkor-term", "ours", note);
    MakeTerminal(folder + "/velkor-term", "decoy", note);      // beside the script
    MakeTerminal(folder + "/bin/velkor-term", "decoy", note);  // same relative path there
    WriteFile(folder + "/updater.sh", "pwd > ran.tmp && mv ran.tmp ran.txt\n");

    ScopedEnv path("PATH", PathWith(bin));
    ScopedEnv display("DISPLAY", ":velkor-test");
    const std::string cwd = fs::current_path();
    fs::current_path(dir.path());
    for (const char* terminal : {"velkor-term", "bin/velkor-term", "./bin/velkor-term"}) {
        SCOPED_TRACE(terminal);
        ScopedEnv chosen("VELKOR_TERMINAL", terminal);
        fs::remove(note);
        fs::remove(folder + "/ran.txt");
        platform::ScriptStart run = platform::StartScript(folder, "updater.sh", "updater.log");
        EXPECT_TRUE(run.started);
        EXPECT_EQ(run.output, nullptr);  // the terminal shows it
        ASSERT_TRUE(WaitFor([&] { return fs::exists(folder + "/ran.txt"); }, 10));
        EXPECT_EQ(ReadFile(note), "ours -e /bin/sh updater.sh\n");
        EXPECT_EQ(ReadFile(folder + "/ran.txt"), folder + "\n");
    }
    fs::current_path(cwd);
    EXPECT_FALSE(fs::exists(folder + "/updater.log"));
}
