#include "db/query_builder.h"
#include "db/sql_text.h"

#include <gtest/gtest.h>

namespace {

struct SelectCase {
    const char* what;
    std::uint16_t rowCount;  // window (20, rowCount) when not 0
    const char* fixedColumn;
    bool numeric;
    const char* op;
    const char* searchColumn;
    const char* orderColumn;
    const char* direction;
    const char* expected;
};

// One row per tail case; S = name='x', O = "id DESC ", L = " LIMIT 20, 10 ".
const SelectCase kSelectCases[] = {
    // Without a fixed filter, with a row window.
    {"search+order", 10, "", false, "=", "name", "id", "DESC",
     "select * from T where name='x'   ORDER BY id DESC  LIMIT 20, 10 "},
    {"search, order column only", 10, "", false, "=", "name", "id", "None",
     "select * from T where name='x'  LIMIT 20, 10 "},
    {"operator, no search column, order", 10, "", false, "=", "None", "id", "DESC",
     "select * from T ORDER BY id DESC  LIMIT 20, 10 "},
    {"operator, no search column, no order", 10, "", false, "=", "None", "None", "None",
     "select * from T LIMIT 20, 10 "},
    {"no operator, order", 10, "", false, "None", "name", "id", "DESC",
     "select * from T ORDER BY id DESC  LIMIT 20, 10 "},
    {"no operator, order column only", 10, "", false, "", "", "id", "",
     "select * from T LIMIT 20, 10 "},
    {"no operator, no order", 10, "", false, "None", "None", "None", "None",
     "select * from T  LIMIT 20, 10 "},
    // Without a fixed filter, no row window.
    {"all: search+order", 0, "", false, "=", "name", "id", "DESC",
     "select * from T where name='x' ORDER BY id DESC "},
    {"all: search", 0, "", false, "=", "name", "None", "None", "select * from T where name='x';"},
    {"all: order", 0, "", false, "None", "None", "id", "DESC", "select * from T ORDER BY id DESC "},
    {"all: nothing", 0, "", false, "None", "None", "None", "None", "select * from T"},
    // With a fixed filter, with a row window.
    {"fixed: search+order", 10, "user_id", true, "=", "name", "id", "DESC",
     "select * from T where user_id=7  and name='x'  ORDER BY id DESC  LIMIT 20, 10 "},
    {"fixed: search", 10, "user_id", true, "=", "name", "id", "None",
     "select * from T where user_id=7  and name='x'  LIMIT 20, 10 "},
    {"fixed text: search", 10, "owner", false, "=", "name", "None", "None",
     "select * from T where owner='bob' and name='x'  LIMIT 20, 10 "},
    {"fixed: order", 10, "user_id", true, "None", "None", "id", "DESC",
     "select * from T where user_id=7  ORDER BY id DESC  LIMIT 20, 10 "},
    {"fixed numeric: window only", 10, "user_id", true, "None", "None", "None", "None",
     "select * from T where user_id=7   LIMIT 20, 10 "},
    {"fixed text: window only", 10, "owner", false, "None", "None", "None", "None",
     "select * from T where owner='bob'  LIMIT 20, 10 "},
    // A direction without a column orders nothing (the text would not be a statement).
    {"fixed: direction without column", 10, "user_id", true, "None", "None", "None", "ASC",
     "select * from T where user_id=7   LIMIT 20, 10 "},
    // With a fixed filter, no row window.
    {"fixed all: search+order", 0, "user_id", true, "=", "name", "id", "DESC",
     "select * from T where user_id=7  and name='x' ORDER BY id DESC "},
    {"fixed all: search, order column only", 0, "user_id", true, "=", "name", "id", "",
     "select * from T where user_id=7  and name='x' "},
    {"fixed all: search, no order", 0, "owner", false, "=", "name", "None", "None",
     "select * from T where owner='bob' and name='x' "},
    {"fixed all: order column", 0, "user_id", true, "None", "None", "id", "",
     "select * from T where user_id=7    ORDER BY id  "},
    {"fixed all: order column, direction None", 0, "owner", false, "None", "None", "id", "None",
     "select * from T where owner='bob'   ORDER BY id  "},
    {"fixed all: nothing", 0, "user_id", true, "None", "None", "None", "None",
     "select * from T where user_id=7  "},
};

TEST(SelectText, EveryTailCase) {
    for (const auto& c : kSelectCases) {
        PageRequest r;
        r.table = "T";
        r.rowStart = 20;
        r.rowCount = c.rowCount;
        r.fixed = {c.fixedColumn, c.numeric ? "7" : "bob", c.numeric};
        r.searchOperator = c.op;
        r.searchColumn = c.searchColumn;
        r.searchValue = "x";
        r.orderColumn = c.orderColumn;
        r.orderDirection = c.direction;
        auto sql = db::BuildSelectText(r);
        ASSERT_TRUE(sql) << c.what;
        EXPECT_EQ(*sql, c.expected) << c.what;
    }
}

TEST(SelectText, HeadWithColumnsAndSearchOperators) {
    std::map<int, std::string> cols{{0, "a"}, {1, "b"}};
    PageRequest r;
    r.table = "Velkor_ESP32";
    r.columns = &cols;
    r.rowCount = 20;
    EXPECT_EQ(*db::BuildSelectText(r), "select clsid , a , b  from Velkor_ESP32  LIMIT 0, 20 ");
    std::map<int, std::string> none;
    r.columns = &none;
    r.searchColumn = "name";
    r.searchOperator = " LIKE ";
    r.searchValue = "%o'k%";
    r.rowCount = 0;
    EXPECT_EQ(*db::BuildSelectText(r), "select * from Velkor_ESP32 where name LIKE '%o''k%';");
}

// Names, operators and directions come from fixed sets; anything else builds nothing.
TEST(SelectText, RefusesWhatCannotBePlacedSafely) {
    std::map<int, std::string> badColumn{{0, "a; drop table T"}};
    const std::vector<std::function<void(PageRequest&)>> faults = {
        [](PageRequest& r) { r.table = "T; DROP TABLE T"; },
        [](PageRequest& r) { r.table = ""; },
        [&](PageRequest& r) { r.columns = &badColumn; },
        [](PageRequest& r) { r.searchColumn = "name='' OR 1=1 --"; },
        [](PageRequest& r) { r.searchOperator = "= 1 OR name ="; },
        [](PageRequest& r) { r.orderColumn = "id; DELETE FROM T"; },
        [](PageRequest& r) { r.orderDirection = "DESC, (SELECT 1)"; },
        [](PageRequest& r) {
            r.fixed = {"user_id", "7 OR 1=1", true};
        },
        [](PageRequest& r) {
            r.fixed = {"user_id", "", true};
        },
        [](PageRequest& r) {
            r.fixed = {"user id", "7", true};
        },
        [](PageRequest& r) { r.searchValue = std::string("a\0b", 3); },
    };
    for (size_t i = 0; i < faults.size(); ++i) {
        PageRequest r;
        r.table = "T";
        r.searchColumn = "name";
        r.searchOperator = "=";
        r.searchValue = "x";
        r.orderColumn = "id";
        r.orderDirection = "ASC";
        ASSERT_TRUE(db::BuildSelectText(r));
        faults[i](r);
        EXPECT_FALSE(db::BuildSelectText(r)) << "fault " << i;
    }
}

struct CountCase {
    const char* what;
    const char* column;
    const char* type;
    const char* value;
    const char* fixedColumn;
    const char* expected;
};

TEST(CountText, EveryCase) {
    const CountCase cases[] = {
        {"text column", "name", "varchar", "x", "",
         "SELECT COUNT(*) as total FROM T where name= 'x'"},
        {"text column, upper case type with size", "name", "VARCHAR(40)", "7", "",
         "SELECT COUNT(*) as total FROM T where name= '7'"},
        {"numeric column", "id", "integer", "42", "",
         "SELECT COUNT(*) as total FROM T where id=42"},
        {"numeric column, value not a number", "id", "integer", "4' OR '1'='1", "",
         "SELECT COUNT(*) as total FROM T where id= '4'' OR ''1''=''1'"},
        {"no search", "None", "", "", "", "SELECT COUNT(*) as total FROM T"},
        {"fixed, text column", "name", "text", "x", "user_id",
         "SELECT COUNT(*) as total FROM T where name = 'x' and user_id=7"},
        {"fixed, numeric column", "id", "int", "-1.5e3", "user_id",
         "SELECT COUNT(*) as total FROM T where id =-1.5e3 and user_id=7"},
        {"fixed only", "", "", "", "user_id", "SELECT COUNT(*) as total FROM T where user_id=7"},
    };
    for (const auto& c : cases) {
        CountRequest r{"T", c.column, c.type, "=", c.value, {c.fixedColumn, "7", true}};
        auto sql = db::BuildCountText(r);
        ASSERT_TRUE(sql) << c.what;
        EXPECT_EQ(*sql, c.expected) << c.what;
    }
    CountRequest bad{"T", "name", "text", "=", "x", {"user_id", "7; DROP TABLE T", true}};
    EXPECT_FALSE(db::BuildCountText(bad));
    bad = {"T", "name", "text", "==", "x", {}};
    EXPECT_FALSE(db::BuildCountText(bad));
}

TEST(QueryText, RowWindowWithItsTrailingBlank) {
    EXPECT_EQ(db::WithRowWindow("select * from T", 10, 20), "select * from T LIMIT 10, 20 ");
    EXPECT_EQ(db::WithRowWindow("select * from T", 10, 0), "select * from T");
}

TEST(SqlText, QuotingAndNumbers) {
    EXPECT_EQ(*db::sqltext::Quoted("it's"), "'it''s'");
    EXPECT_EQ(*db::sqltext::Quoted("a\\"), "'a\\'");
    EXPECT_EQ(*db::sqltext::Quoted(""), "''");
    EXPECT_FALSE(db::sqltext::Quoted(std::string(1, '\0')));
    for (const char* n : {"0", "42", "-7", "+3", "1.5", ".5", "5.", "1e9", "2E-3"})
        EXPECT_TRUE(db::sqltext::IsNumber(n)) << n;
    for (const char* n : {"", "-", ".", "1e", "0x10", " 1", "1 ", "1;", "1--", "e5", "1.2.3"})
        EXPECT_FALSE(db::sqltext::IsNumber(n)) << n;
    EXPECT_TRUE(db::sqltext::IsTableName("redsparrow_users "));
    EXPECT_FALSE(db::sqltext::IsTableName("a b"));
    EXPECT_FALSE(db::sqltext::IsIdentifier("1abc"));
    EXPECT_FALSE(db::sqltext::IsIdentifier("n\xC3\xA4me"));
}

}  // namespace
