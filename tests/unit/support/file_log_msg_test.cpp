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

// The logger is created once per process, so each start is a child process of its own.
void StartProcessIn(const std::string& programFolder) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
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

std::string TodaysName() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char name[64];
    std::snprintf(name, sizeof name, "QRYCODE_Log_%d_%02d_%02d.txt", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday);
    return name;
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
    StartProcessIn(dir.path());
    const std::string file = dir / ("QRYCODE_Log/" + TodaysName());
    ASSERT_TRUE(fs::exists(file)) << file;
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_EQ(CountEntries(dir.path()), 2u);  // the folder and the one file

    // What an operator put in the file survives a second start on the same day.
    testutil::WriteFile(file, "kept\n");
    StartProcessIn(dir.path());
    EXPECT_EQ(testutil::ReadFile(file), "kept\n");
}

TEST(FileLogMsg, LogNameThatIsAFileIsNoFolder) {
    TempDir dir;
    testutil::WriteFile(dir / "QRYCODE_Log", "");
    StartProcessIn(dir.path());
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}
