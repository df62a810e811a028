#include "db/request_record.h"

#include <gtest/gtest.h>

// The service parses exactly this text, so it is pinned down whole.
TEST(RequestRecord, BodyAsTheXmlArchiveWritesIt) {
    AutCodeUser r;
    r.SetCmd("SQL_FIND");
    r.SetFindType("QUERY");
    r.SetFindSqlQuery("select * from T where a<'b&c'");
    r.SetFindType("");  // empty texts never replace a member
    const std::string expected =
        "<objAutCodeUser class_id=\"0\" tracking_level=\"0\" version=\"0\">\n"
        "\t<DbExcute class_id=\"1\" tracking_level=\"0\" version=\"0\">\n"
        "\t\t<m_strCmd>SQL_FIND</m_strCmd>\n"
        "\t\t<m_strFindType>QUERY</m_strFindType>\n"
        "\t\t<m_strFindSqlQuery>select * from T where "
        "a&lt;&apos;b&amp;c&apos;</m_strFindSqlQuery>\n"
        "\t\t<m_strFindCondition> = </m_strFindCondition>\n"
        "\t\t<m_strFindCol>None</m_strFindCol>\n"
        "\t\t<m_strFindValue>NONE</m_strFindValue>\n"
        "\t\t<m_strRowStart>0</m_strRowStart>\n"
        "\t\t<m_strRowEnd>50</m_strRowEnd>\n"
        "\t</DbExcute>\n"
        "\t<AutoCode_UUID>NONE</AutoCode_UUID>\n"
        "\t<User_FirstName>NONE</User_FirstName>\n"
        "\t<User_lastname>NONE</User_lastname>\n"
        "\t<User_email>NONE</User_email>\n"
        "\t<User_mobile>NONE</User_mobile>\n"
        "\t<Code_ftpServer>NONE</Code_ftpServer>\n"
        "\t<User_image>NONE</User_image>\n"
        "</objAutCodeUser>\n\n";  // the archive closes with one more line end
    EXPECT_EQ(db::SerializeRequest(r), expected);
}

TEST(RequestRecord, RoundTripAndMalformedBodies) {
    AutCodeUser r;
    r.SetCmd("SQL_FIND");
    r.SetFindType("COUNT");
    r.SetFindSqlQuery("SELECT COUNT(*) as total FROM \"x\" -- \xC3\xA4");
    AutCodeUser back;
    ASSERT_TRUE(db::DeserializeRequest(db::SerializeRequest(r), back));
    EXPECT_EQ(back.m_strFindSqlQuery, r.m_strFindSqlQuery);
    EXPECT_EQ(back.m_strFindType, "COUNT");

    for (const char* bad : {"", "<objAutCodeUser>", "not xml at all", "<a></a>",
                            "<objAutCodeUser class_id=\"0\" tracking_level=\"0\" version=\"0\">"
                            "<DbExcute class_id=\"1\" tracking_level=\"0\" version=\"0\">"}) {
        AutCodeUser untouched;
        untouched.m_strCmd = "KEEP";
        EXPECT_FALSE(db::DeserializeRequest(bad, untouched)) << bad;
        EXPECT_EQ(untouched.m_strCmd, "KEEP");
    }
}
