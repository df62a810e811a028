// Answer shapes of the four database commands, over HTTP and HTTPS, read the way the tool
// reads them (Boost.PropertyTree).
#include <gtest/gtest.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <sstream>
#include <vector>

#include "service_fixture.h"

namespace {

namespace pt = boost::property_tree;

pt::ptree Json(const HttpAnswer& answer) {
    EXPECT_EQ(answer.status, 200) << answer.body;
    pt::ptree tree;
    std::istringstream in(answer.body);
    pt::read_json(in, tree);
    return tree;
}

class CommandsTest : public ::testing::TestWithParam<bool> {
protected:
    ServiceFixture service{GetParam()};
};

TEST_P(CommandsTest, TableInfoDescribesTheUserTableColumnsWithTheirKey) {
    const pt::ptree tree = Json(service.Command("TABLEINFO", "redsparrow_users "));
    std::vector<std::string> names;
    for (const auto& [_, column] : tree.get_child("AUTOCODE")) {
        const std::string name = column.get<std::string>("name");
        names.push_back(name);
        EXPECT_EQ(column.get<std::string>("primary_key"), name == "CLSID" ? "0" : "1") << name;
        if (name == "username") {
            EXPECT_EQ(column.get<std::string>("type"), "varchar");
            EXPECT_EQ(column.get<std::string>("max_length"), "40");
            EXPECT_NE(column.get<std::string>("default"), "null");  // NOT NULL
        }
        if (name == "email") {
            EXPECT_EQ(column.get<std::string>("default"), "null");
        }
        if (name == "User_reg_date") {
            EXPECT_EQ(column.get<std::string>("type"), "datetime");
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"CLSID", "user_id", "gui_attribute", "username",
                                               "password", "email", "mobnumber",
                                               "user_server_folder", "gpsloc", "User_reg_date",
                                               "server_cfg_file"}));
}

TEST_P(CommandsTest, QueryAnswersOnePageInOrderWithNullAsEmptyText) {
    const pt::ptree tree = Json(service.Command(
        "QUERY",
        "select * from Velkor_ESP32 where user_id=7   ORDER BY serial_number asc  LIMIT 20, 20 "));
    std::vector<std::string> serials;
    for (const auto& [_, row] : tree.get_child("AUTOCODE")) {
        serials.push_back(row.get<std::string>("serial_number"));
        EXPECT_EQ(row.get<std::string>("user_id"), "7");
        EXPECT_FALSE(row.get<std::string>("CLSID").empty());
    }
    ASSERT_EQ(serials.size(), 10u);  // rows 21..30 of 30
    EXPECT_EQ(serials.front(), "VK00000021");
    EXPECT_EQ(serials.back(), "VK00000030");
    // Row 21 was seeded without notes: NULL comes back as "".
    EXPECT_EQ(tree.get_child("AUTOCODE").front().second.get<std::string>("notes"), "");
}

TEST_P(CommandsTest, CountAnswersTheTotalOfTheStatement) {
    EXPECT_EQ(Json(service.Command("COUNT", "SELECT COUNT(*) as total FROM Velkor_ESP32 where "
                                            "user_id=7"))
                  .get<std::string>("AUTOCODE.total"),
              "30");
    EXPECT_EQ(Json(service.Command("COUNT", "SELECT COUNT(*) as total FROM Velkor_ESP32 where "
                                            "wifi_enabled = 1 and user_id=7"))
                  .get<std::string>("AUTOCODE.total"),
              "15");
}

TEST_P(CommandsTest, InsertedUserIsFoundByTheToolsSearchText) {
    const std::string insert =
        " INSERT INTO redsparrow_users( CLSID, user_id, username, password, email, mobnumber, "
        "gpsloc, User_reg_date, server_cfg_file)  values( 'c-42',42,  'bob','pw','b@x','555',"
        "'http://h//Pelmar//bob','2026-12-10 10:00:00','cfg.ini') ";
    EXPECT_EQ(Json(service.Command("INSERT", insert)).get<std::string>("AUTOCODE.rows_changed"),
              "1");
    const pt::ptree found = Json(service.Command(
        "QUERY", " SELECT * FROM redsparrow_users where  user_id    ='42'; "));
    ASSERT_EQ(found.get_child("AUTOCODE").size(), 1u);
    const pt::ptree& row = found.get_child("AUTOCODE").front().second;
    EXPECT_EQ(row.get<std::string>("username"), "bob");
    EXPECT_EQ(row.get<std::string>("gpsloc"), "http://h//Pelmar//bob");
    // The same key again breaks the table's rule and says so.
    const HttpAnswer again = service.Command("INSERT", insert);
    EXPECT_EQ(again.status, 400);
    EXPECT_NE(ContainerText(again.body).find("Record not stored|"), std::string::npos);
}

TEST_P(CommandsTest, UpdateReportsTheRowsChanged) {
    EXPECT_EQ(Json(service.Command("INSERT",
                                   "UPDATE Velkor_ESP32 SET notes='checked' where user_id=7"))
                  .get<std::string>("AUTOCODE.rows_changed"),
              "30");
    EXPECT_EQ(Json(service.Command("COUNT", "SELECT COUNT(*) as total FROM Velkor_ESP32 where "
                                            "notes= 'checked'"))
                  .get<std::string>("AUTOCODE.total"),
              "30");
}

TEST_P(CommandsTest, ErrorsComeAsAPageWithAContainerElement) {
    struct Case {
        const char* kind;
        const char* text;
        long status;
        const char* heading;
    } cases[] = {
        {"TABLEINFO", "no_such_table ", 404, "Unknown table"},
        {"QUERY", "select * from Velkor_ESP32 wher user_id=7", 400, "Statement not understood"},
        {"QUERY", "select nothere from Velkor_ESP32", 400, "Statement not understood"},
        {"COUNT", "SELECT COUNT(*) FROM Velkor_ESP32", 400, "No row count"},
        {"QUERY", "", 400, "Empty statement"},
    };
    for (const Case& c : cases) {
        const HttpAnswer answer = service.Command(c.kind, c.text);
        EXPECT_EQ(answer.status, c.status) << c.text;
        const std::string container = ContainerText(answer.body);
        EXPECT_EQ(container.substr(0, container.find('|')), c.heading) << answer.body;
        EXPECT_GT(container.size(), container.find('|') + 10) << "paragraph too short";
    }
}

INSTANTIATE_TEST_SUITE_P(HttpAndHttps, CommandsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Https" : "Http"; });

}  // namespace
