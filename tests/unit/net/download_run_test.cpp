// Which file a download run blames: a write is found failed only at the next hand-over or at
// the end, so the failure belongs to the file being written, not to the one just fetched; and
// the first failure recorded is the one the run reports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/download_run.h"
#include "temp_dir.h"

namespace {

struct Step {
    enum { Write, FetchFailed } op;
    const char* key;
    const char* file;  // Write: under the test folder; "bad": one that cannot be written
    bool result;       // what Write answers
};

TEST(DownloadRun, BlamesTheFileWhoseWriteOrFetchFailedFirst) {
    const struct {
        const char* name;
        std::vector<Step> steps;
        const char* failedKey;  // nullptr: the run did not fail
        bool hasReason;
    } cases[] = {
        {"all written",
         {{Step::Write, "a", "a", true}, {Step::Write, "b", "b", true}},
         nullptr,
         false},
        {"write failed, found at the next hand-over",
         {{Step::Write, "a", "a", true},
          {Step::Write, "b", "bad", true},
          {Step::Write, "c", "c", false}},
         "b",
         true},
        {"write failed, found at the end", {{Step::Write, "a", "bad", true}}, "a", true},
        {"a fetch that failed first is the failure",
         {{Step::Write, "a", "bad", true}, {Step::FetchFailed, "x", "no such file: /x", false}},
         "x",
         true},
        {"a broken-off fetch has no reason to log",
         {{Step::FetchFailed, "x", "", false}},
         "x",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testutil::TempDir dir;
        CDownloadRun run;
        for (const Step& step : c.steps) {
            if (step.op == Step::FetchFailed) {
                run.FetchFailed(step.key, step.file);
                continue;
            }
            const std::string path =
                std::string(step.file) == "bad" ? dir / "no-such-folder/f" : dir / step.file;
            EXPECT_EQ(run.Write(step.key, path, "content"), step.result) << step.key;
        }
        run.Finish();
        EXPECT_EQ(run.Failed(), c.failedKey != nullptr);
        EXPECT_EQ(run.FailedKey(), c.failedKey ? c.failedKey : "");
        EXPECT_EQ(!run.Why().empty(), c.hasReason) << run.Why();
    }
}

}  // namespace
