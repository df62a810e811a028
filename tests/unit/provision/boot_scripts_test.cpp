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

// Runs `sh updater.sh` in `folder` as the shell layer does, with the given PATH and port,
// and waits for it.
Outcome RunScript(const std::string& folder, const std::string& path, const char* port) {
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
        execl("/bin/sh", "sh", "updater.sh", static_cast<char*>(nullptr));
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
        EXPECT_EQ(provision::StartMaintenanceScript(program, script), "");
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
    const std::string message =
        provision::StartMaintenanceScript(dir.path(), MaintenanceScript::kBootLoader);
    EXPECT_EQ(message, "The maintenance script is missing:\n" + dir.path() +
                           "/Hadware_Binary/ESP32_S3_Velkor_Boot/updater.sh");
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
