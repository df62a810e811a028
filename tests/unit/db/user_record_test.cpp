#include "db/user_record.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(FindUsers, StatementText) {
    EXPECT_EQ(*FindUsersText("user_id", "=", "42"),
              " SELECT * FROM redsparrow_users where  user_id    ='42'; ");
    EXPECT_EQ(*FindUsersText("username", "=", "o'neil"),
              " SELECT * FROM redsparrow_users where  username    ='o''neil'; ");
    EXPECT_FALSE(FindUsersText("username='' OR 1=1 --", "=", "x"));
    EXPECT_FALSE(FindUsersText("username", "= '' OR 1=1 --", "x"));
}

TEST(FindUsers, RowsUnderCounterKeys) {
    const std::string answer = R"({"AUTOCODE":[
        {"CLSID":"c-1","user_id":"42","username":"ann","password":"pw","email":"a@x",
         "mobnumber":"1","user_server_folder":"http://h/a","gpsloc":"1,2",
         "server_cfg_file":"cfg","gui_attribute":"g","User_reg_date":"ignored","Other":"x"},
        {"CLSID":"c-2","user_id":"18446744073709551615","username":"bob","username":"bo"}]})";
    std::map<std::string, UserRecord> users;
    ASSERT_TRUE(ReadUserRows(answer, users));
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
        EXPECT_FALSE(ReadUserRows(answer, users)) << id;
        EXPECT_EQ(users.size(), 1u) << id;  // the row read before the fault remains
    }
}

// A value one byte too long for its member refuses its row; the next row still counts 1.
TEST(FindUsers, OverlongValueRefusesTheRow) {
    const std::string fits(40, 'u'), tooLong(41, 'u');
    const std::string answer = R"({"AUTOCODE":[{"CLSID":"1","username":")" + tooLong +
                               R"("},{"CLSID":"2","username":")" + fits + R"("}]})";
    std::map<std::string, UserRecord> users;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(ReadUserRows(answer, users));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("row 1 refused: its username"),
              std::string::npos);
    ASSERT_EQ(users.size(), 1u);
    EXPECT_STREQ(users.at(" 00000001 ").CLSID, "2");
    EXPECT_EQ(UserText(users.at(" 00000001 ").username), fits);
}

TEST(UserText, FixedMembersNeverOverrun) {
    UserRecord u;
    EXPECT_TRUE(SetUserText(u.User_reg_date, std::string(39, 'd')));
    EXPECT_FALSE(SetUserText(u.User_reg_date, std::string(40, 'e')));
    EXPECT_EQ(UserText(u.User_reg_date), std::string(39, 'd'));
    EXPECT_FALSE(SetUserText(u.email, std::string("a\0b", 3)));
    std::memset(u.username, 'x', sizeof u.username);  // no terminating zero
    EXPECT_EQ(UserText(u.username).size(), sizeof u.username);
}

TEST(InsertUser, EveryColumnWithItsOwnMember) {
    UserRecord u;
    SetUserText(u.CLSID, "c-1");
    u.user_id = 42;
    SetUserText(u.username, "ann");
    SetUserText(u.password, "pw");
    SetUserText(u.email, "a@x");
    SetUserText(u.mobnumber, "555");
    u.gpsloc = "1.5,2.5";
    u.user_server_folder = "http://h/ann";
    SetUserText(u.User_reg_date, "2026-12-10");
    SetUserText(u.server_cfg_file, "it's.cfg");
    EXPECT_EQ(*InsertUserText(u),
              " INSERT INTO redsparrow_users( CLSID, user_id, username, password, email, "
              "mobnumber, gpsloc, user_server_folder, User_reg_date, server_cfg_file)  values( "
              "'c-1',42,  'ann','pw','a@x','555','1.5,2.5','http://h/ann','2026-12-10',"
              "'it''s.cfg') ");
    u.gpsloc = std::string("a\0b", 3);
    EXPECT_FALSE(InsertUserText(u));
}

TEST(InsertUser, AnswerMustBeJson) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadInsertAnswer("timeout"));
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("JSON parsing error: ", 0), 0u);
    EXPECT_TRUE(ReadInsertAnswer(R"({"AUTOCODE":"ok"})"));
}

}  // namespace
