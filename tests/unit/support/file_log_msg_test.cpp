#include "support/file_log_msg.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "platform/paths.h"
#include "temp_dir.h"

namespace fs = std::filesystem;
using testutil::TempDir;

namespace {

std::time_t g_fixedNow = 0;

// The logger is created once per process, so each start is a child process of its own; its
// clock reads `now` in the time zone `tz`.
void StartProcessIn(const std::string& programFolder, std::time_t now = 1748520000,
                    const char* tz = "UTC") {
    g_fixedNow = now;
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("TZ", tz, 1);
        tzset();
        CFileLogMsg::SetClockForTesting([] { return g_fixedNow; });
        platform::SetModuleFileNameForTesting(programFolder + "/velkor-tool");
        CFileLogMsg* log = CFileLogMsg::GetInstance();
        // Entries of any level and format do nothing, even with conversions left unfed.
        log->WriteLog(LOG_ALL, "%s %d %s %n", "only one");
        log->WriteLog(LOG_INFO, "CCurl_Util::HttpPutGet::%s", "Enter");
        _exit(CFileLogMsg::GetInstance() == log ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
}

std::size_t CountEntries(const std::string& dir) {
    std::size_t n = 0;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
         ++it)
        ++n;
    return n;
}

}  // namespace

TEST(FileLogMsg, WithoutLogFolderNothingIsCreated) {
    TempDir dir;
    StartProcessIn(dir.path());
    EXPECT_EQ(CountEntries(dir.path()), 0u);
}

TEST(FileLogMsg, DailyFileIsCreatedEmptyAndLeftAsItIs) {
    TempDir dir;
    ASSERT_TRUE(platform::MakeDirectory(dir / "QRYCODE_Log"));
    StartProcessIn(dir.path());  // 29 May 2025, noon
    const std::string file = dir / "QRYCODE_Log/QRYCODE_Log_2025_05_29.txt";
    ASSERT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_EQ(CountEntries(dir.path()), 2u);  // the folder and the one file

    // What an operator put in the file survives a second start on the same day.
    testutil::WriteFile(file, "kept\n");
    StartProcessIn(dir.path(), 1748520000 + 11 * 3600);  // 23:00 the same day
    EXPECT_EQ(testutil::ReadFile(file), "kept\n");
    EXPECT_EQ(CountEntries(dir.path()), 2u);
}

// The name carries the local date: month and day zero-padded, the year as it is.
TEST(FileLogMsg, FileIsNamedByTheLocalDate) {
    struct Case {
        std::time_t now;
        const char* tz;
        const char* name;
    } cases[] = {
        {1748520000, "UTC", "QRYCODE_Log_2025_05_29.txt"},
        {1735804800, "UTC", "QRYCODE_Log_2025_01_02.txt"},
        {1767223800, "UTC", "QRYCODE_Log_2025_12_31.txt"},
        {1767223800, "UTC-2", "QRYCODE_Log_2026_01_01.txt"},  // 01:30 the next day there
        {1767223800, "UTC+9", "QRYCODE_Log_2025_12_31.txt"},
        {-30627460800, "UTC", "QRYCODE_Log_999_06_15.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_TRUE(platform::MakeDirectory(dir / "QRYCODE_Log"));
        StartProcessIn(dir.path(), c.now, c.tz);
        EXPECT_TRUE(fs::exists(dir / (std::string("QRYCODE_Log/") + c.name)));
        EXPECT_EQ(CountEntries(dir.path()), 2u);
    }
}

TEST(FileLogMsg, LogNameThatIsAFileIsNoFolder) {
    TempDir dir;
    testutil::WriteFile(dir / "QRYCODE_Log", "");
    StartProcessIn(dir.path());
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}
