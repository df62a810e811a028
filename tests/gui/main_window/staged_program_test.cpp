// The staged executable itself, started from a copy of its program folder on the X display.
// It runs alone (RUN_SERIAL): the key press goes to whichever window has the focus.
#include <gtest/gtest.h>  // first: gtest must precede the X11 macros
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <vector>

#include "platform/ini.h"
#include "temp_dir.h"

namespace fs = std::filesystem;
using testutil::WaitFor;

namespace {

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

// The visible windows of one process.
std::set<std::string> VisibleWindows(pid_t pid) {
    std::set<std::string> ids;
    std::istringstream lines(
        Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
    for (std::string id; std::getline(lines, id);) ids.insert(id);
    return ids;
}

// QRYCODE_Log_<year>_<month>_<day>.txt with a four-digit year.
bool IsDailyLogName(const std::string& name) {
    const std::string shape = "QRYCODE_Log_####_##_##.txt";
    if (name.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(name[i]));
        if (shape[i] == '#' ? !digit : name[i] != shape[i]) return false;
    }
    return true;
}

}  // namespace

// The maintenance scripts are staged with the part they share, where each looks for it.
TEST(StagedProgram, ScriptsComeWithTheirCommonPart) {
    const std::string scripts = std::string(VELKOR_STAGE_DIR) + "/Hadware_Binary";
    for (const char* file :
         {"common.sh", "Erase_Flash/updater.sh", "ESP32_S3_Velkor_Boot/updater.sh"})
        EXPECT_TRUE(fs::is_regular_file(scripts + "/" + file)) << file;
}

TEST(StagedProgram, ShowsTheMainWindowOpensTheDaysLogAndIgnoresEscape) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    testutil::TempDir dir;
    const std::string program = dir / "velkor tool";
    fs::copy(VELKOR_STAGE_DIR, program, fs::copy_options::recursive);
    for (const char* written : {"AppConfig.ini", "Velkor_ESP32", "QRYCODE_Log"})
        fs::remove_all(program + "/" + written);
    fs::create_directory(program + "/QRYCODE_Log");  // an operator asks for the log file
    // The program's device discovery searches from the start: on the loopback interface only.
    testutil::WriteFile(program + "/Passthru.ini",
                        "[TCP]\nSSDPort=1900\nSSDPInterface=127.0.0.1\n");

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (chdir("/") != 0) _exit(126);  // the program finds its folder by itself
        execl((program + "/velkor-tool").c_str(), "velkor-tool", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string id;
    EXPECT_TRUE(WaitFor(
        [&] {
            id = Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) +
                       " --name 'Vidozado Vazadu Vorev' 2>/dev/null");
            return !id.empty();
        },
        20));
    id = id.substr(0, id.find('\n'));
    if (!id.empty()) {
        EXPECT_NE(Shell("xdotool getwindowgeometry " + id).find("Geometry: 870x610"),
                  std::string::npos);
        EXPECT_EQ(platform::ReadProfileString(program + "/AppConfig.ini", "LANG_TEXT",
                                              "Velkor_ESP32", "", 100),
                  "eng");
        EXPECT_TRUE(fs::exists(program + "/Velkor_ESP32/eng/Velkor_ESP32.ini"));
        // The start-up opened the day's log file, empty.
        std::vector<fs::path> logs(fs::directory_iterator(program + "/QRYCODE_Log"), {});
        EXPECT_EQ(logs.size(), 1u);
        for (const fs::path& log : logs) {
            EXPECT_TRUE(IsDailyLogName(log.filename().string())) << log;
            EXPECT_EQ(fs::file_size(log), 0u);
        }

        // Escape opens no question and closes nothing.
        const auto before = VisibleWindows(pid);
        Shell("xdotool windowfocus " + id + " key Escape 2>/dev/null");
        usleep(700 * 1000);
        EXPECT_EQ(VisibleWindows(pid), before);
        EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0);  // still running
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
