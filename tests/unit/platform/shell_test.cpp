#include "platform/shell.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/paths.h"
#include "temp_dir.h"

using testutil::TempDir;
using testutil::WaitFor;

// The script runs in its own folder, in a session of its own, and is not waited for.
TEST(Shell, StartsScriptInItsFolderWithoutWaiting) {
    setenv("VELKOR_TERMINAL", "none", 1);
    TempDir dir;
    const std::string folder = dir / "with blank";
    ASSERT_TRUE(platform::MakeDirectory(folder));
    testutil::WriteFile(folder + "/updater.sh",
                        "{ pwd; cut -d' ' -f6 /proc/$$/stat; } > ran.tmp && mv ran.tmp ran.txt\n"
                        "sleep 2\necho done > end.txt\n");
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(platform::StartScript(folder, "updater.sh"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_TRUE(WaitFor([&] { return platform::PathExists(folder + "/ran.txt"); }, 10));
    std::string ran = testutil::ReadFile(folder + "/ran.txt");
    EXPECT_EQ(ran.substr(0, ran.find('\n')), folder);
    EXPECT_FALSE(platform::PathExists(folder + "/end.txt"));  // still running: not waited for
    std::string sid = ran.substr(ran.find('\n') + 1);
    EXPECT_NE(std::stol(sid), static_cast<long>(getsid(0)));  // its own session
    EXPECT_TRUE(WaitFor([&] { return platform::PathExists(folder + "/end.txt"); }, 10));
}

TEST(Shell, MissingFolderOrShellFails) {
    setenv("VELKOR_TERMINAL", "none", 1);
    TempDir dir;
    EXPECT_FALSE(platform::StartScript(dir / "missing", "updater.sh"));
    setenv("VELKOR_TERMINAL", (dir / "no-terminal").c_str(), 1);
    EXPECT_FALSE(platform::StartScript(dir.path(), "updater.sh"));
    setenv("VELKOR_TERMINAL", "none", 1);
}
