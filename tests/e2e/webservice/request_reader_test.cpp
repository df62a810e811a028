// The direct scan of request bodies must read exactly what the XML archive's reader reads,
// and leave everything unusual to it.
#include "request_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(const AutCodeUser& r) {
    return {r.m_strCmd,       r.m_strFindType,   r.m_strFindSqlQuery, r.m_strFindCondition,
            r.m_strFindCol,   r.m_strFindValue,  r.m_strRowStart,     r.m_strRowEnd,
            r.AutoCode_UUID,  r.User_FirstName,  r.User_lastname,     r.User_email,
            r.User_mobile,    r.Code_ftpServer,  r.User_image};
}

std::string Written(const std::string& query, const std::string& image = "NONE") {
    AutCodeUser r;
    r.SetCmd("SQL_FIND");
    r.SetFindType("QUERY");
    r.m_strFindSqlQuery = query;
    r.User_image = image;
    return SerializeRequest(r);
}

// The scan and the PropertyTree reading agree with the archive on what it wrote.
void ExpectSameAsArchive(const std::string& body) {
    AutCodeUser scanned, parsed, archived;
    ASSERT_TRUE(DeserializeRequest(body, archived)) << body;
    ASSERT_TRUE(webservice::ScanRequest(body, scanned)) << body;
    ASSERT_TRUE(webservice::ParseRequest(body, parsed)) << body;
    EXPECT_EQ(Fields(scanned), Fields(archived)) << body;
    EXPECT_EQ(Fields(parsed), Fields(archived)) << body;
}

TEST(RequestReaderTest, ScansWhatTheArchiveWritesAndReadsTheSame) {
    for (const std::string& query :
         {std::string(" SELECT * FROM redsparrow_users where  user_id    ='42'; "),
          std::string("a<b & 'c' \"d\" > e"), std::string(""), std::string("  \t lead and trail \t "),
          std::string("line\nbreak\r\nand tab\t"), std::string("caf\xc3\xa9 \xe2\x82\xac"),
          std::string("&amp; written literally")}) {
        ExpectSameAsArchive(Written(query, ""));
    }
}

TEST(RequestReaderTest, OtherLayoutsAreReadByNameAndBrokenOnesRefused) {
    const std::string good = Written("select 1");
    auto with = [&](const char* find, size_t length, const std::string& put) {
        return std::string(good).replace(good.find(find), length, put);
    };
    struct Case {
        std::string body;
        bool readable;
        std::string query;
    } cases[] = {
        {with("select 1", 8, "&#60;b&#x3e;"), true, "<b>"},  // character references
        {with("<m_strCmd>", 0, "<m_strRowEnd>1</m_strRowEnd>"), true, "select 1"},  // extra
        {with("\n", 1, "  \r\n  "), true, "select 1"},  // other blanks between elements
        {good.substr(0, good.size() / 2), false, ""},       // cut short
        {with("<m_strFindCol>", 30, ""), false, ""},        // member missing
        {with("select 1", 8, "&bogus;"), true, "&bogus;"},  // unknown entity kept as text
        {with("select 1", 8, "<b>nested</b>"), true, ""},   // element inside a member
        {"", false, ""},
        {"not xml", false, ""},
        {"<objAutCodeUser><DbExcute>", false, ""},
    };
    for (const Case& c : cases) {
        AutCodeUser read;
        EXPECT_EQ(webservice::ReadRequest(c.body, read), c.readable) << c.body;
        if (c.readable && !c.query.empty()) {
            EXPECT_EQ(read.m_strFindSqlQuery, c.query);
        }
    }
}

}  // namespace
