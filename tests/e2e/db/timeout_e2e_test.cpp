// A service that never answers: the wait ends with "timeout", which reaches the callers as
// a failed call (this program's client is bound to the silent server for its whole life).
#include "service_peer.h"

#include "db/mysql_util.h"
#include "db/users_table.h"
#include "silent_server.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

TEST(SilentService, TimeoutReachesInsertUserAndFindUsers) {
    testutil::TempDir folder;
    testutil::SilentServer silent;
    dbpeer::WriteClientConfig(folder.path(), silent.BaseUrl(), "3");  // 300 ms
    CUsersTable* users = CUsersTable::GetInstance();
    EXPECT_TRUE(users->Fields().empty());  // its table information timed out too
    UserRecord u;
    db::SetUserText(u.CLSID, "t-1");
    std::string answer;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(users->InsertUser(u, &answer));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, "timeout");
    EXPECT_NE(err.find("JSON parsing error: "), std::string::npos) << err;
    std::map<std::string, UserRecord> found;
    EXPECT_FALSE(users->FindUsers("user_id", "=", "1", &found));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(users->CountAll(), 0u);
}

}  // namespace
