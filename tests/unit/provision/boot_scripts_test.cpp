// Starting the maintenance scripts, and what the shipped scripts do with the flashing tool.
#include "provision/boot_scripts.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <glob.h>
#include <filesystem>

#include "temp_dir.h"

namespace fs = std::filesystem;
using provision::MaintenanceScript;
using testutil::ReadFile;
using testutil::TempDir;
using testutil::WaitFor;
using testutil::WriteFile;

namespace {

const std::string kEraseFolder = "Hadware_Binary/Erase_Flash";
const std::string kBootFolder = "Hadware_Binary/ESP32_S3_Velkor_Boot";

struct Outcome {
    int status = -1;
    std::string output;
};

// Runs `sh <script>` in `folder`, with the given PATH and port, and waits for it. The shell
// layer runs "updater.sh" in the script's folder.
Outcome RunScript(const std::string& folder, const std::string& path, const char* port,
                  const std::string& script = "updater.sh") {
    int out[2];
    if (pipe(out) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(out[1], 2);
        close(out[0]);
        setenv("PATH", path.c_str(), 1);
        if (port)
            setenv("ESPPORT", port, 1);
        else
            unsetenv("ESPPORT");
        unsetenv("ESPTOOL");
        if (chdir(folder.c_str()) != 0) _exit(126);
        execl("/bin/sh", "sh", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    Outcome o;
    char buf[512];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) o.output.append(buf, n);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return o;
}

bool SerialPortsPresent() {
    glob_t g{};
    bool any = glob("/dev/ttyUSB*", 0, nullptr, &g) == 0;
    globfree(&g);
    any = any || glob("/dev/ttyACM*", 0, nullptr, &g) == 0;
    globfree(&g);
    return any;
}

// A program folder (its path holds a blank) with the shipped scripts and a bin folder
// whose esptool stand-in notes its arguments and exits with $ESPTOOL_STATUS_FILE's content.
class Scripts : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_program);
        fs::copy(fs::path(VELKOR_SOURCE_DIR) / "data/Hadware_Binary", m_program + "/Hadware_Binary",
                 fs::copy_options::recursive);
        fs::create_directory(m_bin);
        WriteFile(m_bin + "/esptool",
                  "#!/bin/sh\necho \"$*\" > '" + m_args + "'\nexit $(cat '" + m_status + "')\n");
        fs::permissions(m_bin + "/esptool", fs::perms::owner_all);
        WriteFile(m_status, "0");
        setenv("VELKOR_TERMINAL", "none", 1);
    }
    std::string Folder(const std::string& sub) const { return m_program + "/" + sub; }
    std::string WithTool() const { return m_bin + ":/usr/bin:/bin"; }

    TempDir m_dir;
    std::string m_program = m_dir / "program folder";
    std::string m_bin = m_dir / "bin";
    std::string m_args = m_dir / "args.txt";
    std::string m_status = m_dir / "status.txt";
};

}  // namespace

TEST(ScriptFolder, SitsBelowTheProgramFolder) {
    EXPECT_EQ(provision::ScriptFolder("/opt/velkor tool", MaintenanceScript::kEraseFlash),
              "/opt/velkor tool/Hadware_Binary/Erase_Flash");
    EXPECT_EQ(provision::ScriptFolder("/opt/velkor tool", MaintenanceScript::kBootLoader),
              "/opt/velkor tool/Hadware_Binary/ESP32_S3_Velkor_Boot");
}

// Each script starts in its own folder of a program folder with blanks, not waited for.
TEST(StartMaintenanceScript, RunsInItsOwnFolderWithoutWaiting) {
    setenv("VELKOR_TERMINAL", "none", 1);
    TempDir dir;
    const std::string program = dir / "my tools/velkor  tool";
    for (auto script : {MaintenanceScript::kEraseFlash, MaintenanceScript::kBootLoader}) {
        const std::string folder = provision::ScriptFolder(program, script);
        fs::create_directories(folder);
        WriteFile(folder + "/updater.sh",
                  "pwd > where.tmp && mv where.tmp where.txt\nsleep 1\ntouch end.txt\n");
        auto start = std::chrono::steady_clock::now();
        provision::MaintenanceStart started = provision::StartMaintenanceScript(program, script);
        EXPECT_EQ(started.problem, "");
        EXPECT_NE(started.output, nullptr);  // no terminal: its output is kept
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        ASSERT_TRUE(WaitFor([&] { return fs::exists(folder + "/where.txt"); }, 10));
        EXPECT_EQ(ReadFile(folder + "/where.txt"), folder + "\n");
        EXPECT_FALSE(fs::exists(folder + "/end.txt"));  // still running
    }
    for (auto script : {MaintenanceScript::kEraseFlash, MaintenanceScript::kBootLoader}) {
        const std::string end = provision::ScriptFolder(program, script) + "/end.txt";
        EXPECT_TRUE(WaitFor([&] { return fs::exists(end); }, 10));
    }
}

TEST(StartMaintenanceScript, MissingScriptIsAMessage) {
    TempDir dir;
    provision::MaintenanceStart started =
        provision::StartMaintenanceScript(dir.path(), MaintenanceScript::kBootLoader);
    EXPECT_EQ(started.problem, "The maintenance script is missing:\n" + dir.path() +
                                   "/Hadware_Binary/ESP32_S3_Velkor_Boot/updater.sh");
    EXPECT_EQ(started.output, nullptr);
}

TEST_F(Scripts, EraseCallsEsptoolForTheChip) {
    Outcome o = RunScript(Folder(kEraseFolder), WithTool(), "/dev/ttyTEST1");
    EXPECT_EQ(o.status, 0) << o.output;
    EXPECT_EQ(ReadFile(m_args), "--chip esp32s3 --port /dev/ttyTEST1 erase_flash\n");
}

TEST_F(Scripts, UpdateBootWritesTheImageAtOffsetZero) {
    WriteFile(Folder(kBootFolder) + "/bootloader.bin", std::string(32, '\xE9'));
    Outcome o = RunScript(Folder(kBootFolder), WithTool(), "/dev/ttyTEST1");
    EXPECT_EQ(o.status, 0) << o.output;
    EXPECT_EQ(ReadFile(m_args),
              "--chip esp32s3 --port /dev/ttyTEST1 write_flash 0x0 bootloader.bin\n");
}

TEST_F(Scripts, EsptoolPyIsTakenWhenEsptoolIsAbsent) {
    fs::rename(m_bin + "/esptool", m_bin + "/esptool.py");
    Outcome o = RunScript(Folder(kEraseFolder), WithTool(), "/dev/ttyTEST1");
    EXPECT_EQ(o.status, 0) << o.output;
    EXPECT_EQ(ReadFile(m_args), "--chip esp32s3 --port /dev/ttyTEST1 erase_flash\n");
}

// Each missing piece gives its own message and a non-zero exit; the tool is not called.
TEST_F(Scripts, MissingPiecesAreReported) {
    struct Case {
        const char* name;
        std::string folder, path;
        const char* port;
        std::string says;
    } cases[] = {
        {"no esptool", Folder(kEraseFolder), "/usr/bin:/bin", "/dev/ttyTEST1",
         "esptool was not found on the PATH"},
        {"no image", Folder(kBootFolder), WithTool(), "/dev/ttyTEST1",
         "bootloader.bin is missing or empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Outcome o = RunScript(c.folder, c.path, c.port);
        EXPECT_NE(o.status, 0);
        EXPECT_NE(o.output.find(c.says), std::string::npos) << o.output;
        EXPECT_FALSE(fs::exists(m_args));
    }
    if (SerialPortsPresent()) GTEST_SKIP() << "this machine has a serial port";
    Outcome o = RunScript(Folder(kEraseFolder), WithTool(), nullptr);
    EXPECT_NE(o.status, 0);
    EXPECT_NE(o.output.find("no serial port found"), std::string::npos) << o.output;
    EXPECT_FALSE(fs::exists(m_args));
}

TEST_F(Scripts, EsptoolFailureIsTheScriptsFailure) {
    WriteFile(m_status, "2");
    Outcome o = RunScript(Folder(kEraseFolder), WithTool(), "/dev/ttyTEST1");
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.output.find("failed (exit code 2)"), std::string::npos) << o.output;
}

// Each script finds the part they share beside its own folder, wherever it is started from,
// and says so when that part is missing.
TEST_F(Scripts, CommonPartIsFoundBesideTheScriptsFolder) {
    Outcome o =
        RunScript(m_dir.path(), WithTool(), "/dev/ttyTEST1", Folder(kEraseFolder) + "/updater.sh");
    EXPECT_EQ(o.status, 0) << o.output;
    EXPECT_EQ(ReadFile(m_args), "--chip esp32s3 --port /dev/ttyTEST1 erase_flash\n");

    fs::remove(m_program + "/Hadware_Binary/common.sh");
    for (const std::string& folder : {kEraseFolder, kBootFolder}) {
        SCOPED_TRACE(folder);
        o = RunScript(Folder(folder), WithTool(), "/dev/ttyTEST1");
        EXPECT_EQ(o.status, 1);
        EXPECT_NE(o.output.find(m_program + "/Hadware_Binary/common.sh is missing."),
                  std::string::npos)
            << o.output;
    }
}

// Started by the tool with no terminal window, the shipped script's failure reaches the
// report the technician is shown: how it ended, its words and where its whole output is.
TEST_F(Scripts, WithoutTerminalTheOutcomeIsReported) {
    const char* path = std::getenv("PATH");
    const std::string oldPath = path ? path : "/usr/bin:/bin";
    unsetenv("ESPTOOL");
    struct Case {
        const char* name;
        std::string path;
        std::string report;
    } cases[] = {
        {"no esptool", "/usr/bin:/bin",
         "Erase Flash failed (exit code 1).\n\n"
         "Erase Flash: esptool was not found on the PATH (install it, e.g. 'pip install "
         "esptool').\n\nThe whole output is in " +
             Folder(kEraseFolder) + "/updater.log"},
        {"done", WithTool(),
         "Erase Flash finished.\n\n"
         "Erase Flash: erasing the ESP32-S3 flash through /dev/ttyTEST1 ...\n"
         "Erase Flash: done.\n\nThe whole output is in " +
             Folder(kEraseFolder) + "/updater.log"},
    };
    setenv("ESPPORT", "/dev/ttyTEST1", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setenv("PATH", c.path.c_str(), 1);
        provision::MaintenanceStart started =
            provision::StartMaintenanceScript(m_program, MaintenanceScript::kEraseFlash);
        setenv("PATH", oldPath.c_str(), 1);
        ASSERT_EQ(started.problem, "");
        ASSERT_NE(started.output, nullptr);
        ASSERT_TRUE(started.output->Ended(10000));
        EXPECT_EQ(provision::ScriptReport(MaintenanceScript::kEraseFlash, *started.output),
                  c.report);
    }
    unsetenv("ESPPORT");
}

TEST(LastLines, AsATerminalWouldShowThem) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t count;
        std::string last;
    } cases[] = {
        {"nothing", "", 3, ""},
        {"fewer than asked", "a\nb\n", 3, "a\nb"},
        {"the last ones", "1\n2\n3\n4\n5\n", 2, "4\n5"},
        {"no final line end", "1\n2\n3", 2, "2\n3"},
        {"empty lines at the end", "1\n2\n\n\n\n\n", 2, "1\n2"},
        {"an empty line inside", "1\n\n3\n", 3, "1\n\n3"},
        {"progress rewritten", "Writing 10 %\rWriting 50 %\rWriting 100 %\nDone\n", 5,
         "Writing 100 %\nDone"},
        {"a final carriage return keeps the line", "Writing 50 %\r", 1, "Writing 50 %"},
        {"CR LF line ends", "a\r\nb\r\n", 5, "a\nb"},
    };
    for (const Case& c : cases) EXPECT_EQ(provision::LastLines(c.text, c.count), c.last) << c.name;
}
