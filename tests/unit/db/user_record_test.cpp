#include "db/user_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

TEST(FindUsers, StatementText) {
    EXPECT_EQ(*db::FindUsersText("user_id", "=", "42"),
              " SELECT * FROM redsparrow_users where  user_id    ='42'; ");
    EXPECT_EQ(*db::FindUsersText("username", "=", "o'neil"),
              " SELECT * FROM redsparrow_users where  username    ='o''neil'; ");
    EXPECT_FALSE(db::FindUsersText("username='' OR 1=1 --", "=", "x"));
    EXPECT_FALSE(db::FindUsersText("username", "= '' OR 1=1 --", "x"));
}

TEST(FindUsers, RowsUnderCounterKeys) {
    const std::string answer = R"({"AUTOCODE":[
        {"CLSID":"c-1","user_id":"42","username":"ann","password":"pw","email":"a@x",
         "mobnumber":"1","user_server_folder":"http://h/a","gpsloc":"1,2",
         "server_cfg_file":"cfg","gui_attribute":"g","User_reg_date":"ignored","Other":"x"},
        {"CLSID":"c-2","user_id":"18446744073709551615","username":"bob","username":"bo"}]})";
    std::map<std::string, UserRecord> users;
    ASSERT_TRUE(db::ReadUserRows(answer, users));
    ASSERT_EQ(users.size(), 2u);
    const UserRecord& a = users.at(" 00000001 ");
    EXPECT_STREQ(a.CLSID, "c-1");
    EXPECT_EQ(a.user_id, 42u);
    EXPECT_STREQ(a.username, "ann");
    EXPECT_STREQ(a.password, "pw");
    EXPECT_STREQ(a.email, "a@x");
    EXPECT_STREQ(a.mobnumber, "1");
    EXPECT_EQ(a.user_server_folder, "http://h/a");
    EXPECT_EQ(a.gpsloc, "1,2");
    EXPECT_STREQ(a.server_cfg_file, "cfg");
    EXPECT_EQ(a.gui_attribute, "g");
    EXPECT_STREQ(a.User_reg_date, "");
    const UserRecord& b = users.at(" 00000002 ");
    EXPECT_EQ(b.user_id, UINT64_MAX);
    EXPECT_STREQ(b.username, "bo");  // a member named twice keeps the last value
}

TEST(FindUsers, UserIdMustBeAnUnsignedNumber) {
    for (const char* id : {"abc", "-1", "", "18446744073709551616", "4 2", "+4"}) {
        std::map<std::string, UserRecord> users;
        const std::string answer = std::string(R"({"AUTOCODE":[{"CLSID":"1","user_id":"0"},)") +
                                   R"({"CLSID":"2","user_id":")" + id + R"("}]})";
        EXPECT_FALSE(db::ReadUserRows(answer, users)) << id;
        EXPECT_EQ(users.size(), 1u) << id;  // the row read before the fault remains
    }
}

// A row with a value one byte too long for its member is refused; the keys still follow the
// answer's order, so " 00000001 " never names a later row and a refused row's number stays
// unused.
TEST(FindUsers, RefusedRowLeavesItsKeyUnused) {
    const std::map<std::string, std::size_t> memberSize = {
        {"username", sizeof UserRecord::username},
        {"email", sizeof UserRecord::email},
        {"server_cfg_file", sizeof UserRecord::server_cfg_file}};
    // One row per entry: the member given a value too long for it, or "" for a row that fits.
    const struct {
        std::vector<std::string> overlong;
        std::map<std::string, std::string> clsidByKey;
        const char* reported;
    } cases[] = {
        {{"username", ""}, {{" 00000002 ", "r2"}}, "row 1 refused: its username"},
        {{"", "email", ""},
         {{" 00000001 ", "r1"}, {" 00000003 ", "r3"}},
         "row 2 refused: its email"},
        {{"", "", "server_cfg_file"},
         {{" 00000001 ", "r1"}, {" 00000002 ", "r2"}},
         "row 3 refused"},
        {{"username", "username", "", "email", ""},
         {{" 00000003 ", "r3"}, {" 00000005 ", "r5"}},
         "row 4 refused"},
        {{"username", "email"}, {}, "row 2 refused"},
    };
    for (const auto& c : cases) {
        std::string answer = R"({"AUTOCODE":[)";
        for (std::size_t i = 0; i < c.overlong.size(); ++i) {
            const std::string& member = c.overlong[i].empty() ? "username" : c.overlong[i];
            // The longest value that fits, or one byte more.
            const std::size_t length = memberSize.at(member) - (c.overlong[i].empty() ? 1 : 0);
            answer += (i ? "," : "") + std::string(R"({"CLSID":"r)") + std::to_string(i + 1) +
                      R"(",")" + member + R"(":")" + std::string(length, 'v') + R"("})";
        }
        answer += "]}";
        SCOPED_TRACE(c.reported);
        std::map<std::string, UserRecord> users;
        testing::internal::CaptureStderr();
        ASSERT_TRUE(db::ReadUserRows(answer, users));
        EXPECT_NE(testing::internal::GetCapturedStderr().find(c.reported), std::string::npos);
        std::map<std::string, std::string> clsidByKey;
        for (const auto& [key, user] : users) clsidByKey[key] = db::UserText(user.CLSID);
        EXPECT_EQ(clsidByKey, c.clsidByKey);
        for (const auto& [key, user] : users)
            EXPECT_EQ(db::UserText(user.username).size(), sizeof user.username - 1) << key;
    }
}

TEST(UserText, FixedMembersNeverOverrun) {
    UserRecord u;
    EXPECT_TRUE(db::SetUserText(u.User_reg_date, std::string(39, 'd')));
    EXPECT_FALSE(db::SetUserText(u.User_reg_date, std::string(40, 'e')));
    EXPECT_EQ(db::UserText(u.User_reg_date), std::string(39, 'd'));
    EXPECT_FALSE(db::SetUserText(u.email, std::string("a\0b", 3)));
    std::memset(u.username, 'x', sizeof u.username);  // no terminating zero
    EXPECT_EQ(db::UserText(u.username).size(), sizeof u.username);
}

TEST(InsertUser, EveryColumnWithItsOwnMember) {
    UserRecord u;
    db::SetUserText(u.CLSID, "c-1");
    u.user_id = 42;
    db::SetUserText(u.username, "ann");
    db::SetUserText(u.password, "pw");
    db::SetUserText(u.email, "a@x");
    db::SetUserText(u.mobnumber, "555");
    u.gpsloc = "1.5,2.5";
    u.user_server_folder = "http://h/ann";
    db::SetUserText(u.User_reg_date, "2026-12-10");
    db::SetUserText(u.server_cfg_file, "it's.cfg");
    EXPECT_EQ(*db::InsertUserText(u),
              " INSERT INTO redsparrow_users( CLSID, user_id, username, password, email, "
              "mobnumber, gpsloc, user_server_folder, User_reg_date, server_cfg_file)  values( "
              "'c-1',42,  'ann','pw','a@x','555','1.5,2.5','http://h/ann','2026-12-10',"
              "'it''s.cfg') ");
    u.gpsloc = std::string("a\0b", 3);
    EXPECT_FALSE(db::InsertUserText(u));
}

TEST(InsertUser, AnswerMustBeJson) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(db::ReadInsertAnswer("timeout"));
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("JSON parsing error: ", 0), 0u);
    EXPECT_TRUE(db::ReadInsertAnswer(R"({"AUTOCODE":"ok"})"));
}

}  // namespace
