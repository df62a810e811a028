// Titles, exit questions and the first text pass, without a display.
#include "app/app_texts.h"

#include <gtest/gtest.h>

#include "config/fltf_db_util.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "temp_dir.h"

using testutil::TempDir;

namespace {

// A title is the product name, the version part and "Mmm dd yyyy-hh:mm:ss)".
void ExpectTitle(const std::string& title, const std::string& versionPart) {
    const std::string prefix = "Vidozado Vazadu Vorev(Online)(" + versionPart;
    ASSERT_EQ(title.rfind(prefix, 0), 0u) << title;
    const std::string stamp = title.substr(prefix.size());
    ASSERT_EQ(stamp.size(), 21u) << title;
    EXPECT_EQ(stamp.substr(0, 11), __DATE__);  // this file and the title were built together
    EXPECT_EQ(stamp[11], '-');
    EXPECT_EQ(stamp.back(), ')');
}

class Texts : public ::testing::Test {
protected:
    std::string Read(const char* key) {
        return platform::ReadProfileString(m_file, "GUI_TEXT", key, "<missing>", 2024);
    }
    void Store(const char* key, const std::string& value) {
        platform::WriteProfileString(m_file, "GUI_TEXT", key, value);
    }
    TempDir m_dir;
    std::string m_file = m_dir / "texts.ini";
    CFltfDBUtil m_util;
};

}  // namespace

TEST(Titles, CarryVersionAndBuildStamp) {
    ExpectTitle(app::LoginWindowTitle(), "Ver:1.028 Date:");
    ExpectTitle(app::MainWindowTitle(), "Ver:1.0028, Date:");
}

TEST(Titles, CloseBoxQuestionNamesWhereUpdatesAre) {
    const std::string q = app::ConfirmExitQuestion();
    ASSERT_NE(q.find('\n'), std::string::npos);
    EXPECT_EQ(q.substr(0, q.find('\n')), "Do you want to exit application?");
    EXPECT_NE(q.find("https://", q.find('\n')), std::string::npos);
}

TEST_F(Texts, ExitQuestionDefaultIsWrittenBack) {
    const std::string q = app::ExitButtonQuestion(m_util, m_file);
    EXPECT_EQ(q.substr(0, q.find('\n')), "Do you really want to exit?");
    EXPECT_NE(q.find("https://"), std::string::npos);
    EXPECT_EQ(Read("APP_EXIT_MSG"), "Do you really want to exit?");
}

TEST_F(Texts, StoredExitQuestionIsDecoded) {
    struct Case {
        const char* stored;
        std::string shown;
    } cases[] = {
        {"Wirklich beenden?", "Wirklich beenden?"},
        {"42\\65\\65\\6E\\64\\65\\6E\\3F", "Beenden?"},
        {"C3\\A9\\0A\\78", "\xC3\xA9\nx"},  // any bytes, a line break included
        {"100% sure?", "100% sure?"},       // no format: '%' stays as it is
        {"\\41", ""},                       // an empty first part ends the text
    };
    for (const Case& c : cases) {
        Store("APP_EXIT_MSG", c.stored);
        EXPECT_EQ(app::ExitButtonQuestion(m_util, m_file), c.shown) << c.stored;
    }
    Store("APP_EXIT_MSG", std::string(5000, 'x'));  // longer than the reader takes
    EXPECT_EQ(app::ExitButtonQuestion(m_util, m_file), std::string(2023, 'x'));
}

TEST_F(Texts, FirstPassWritesMissingTextsAndReadsThePageSize) {
    EXPECT_EQ(app::FirstTextPass(m_util, m_file), 5);
    for (const char* key :
         {"TabName", "RowCount", "Edit", "Exit", "Delete", "Done", "New", "Cancel", "Up_Image"})
        EXPECT_NE(Read(key), "<missing>") << key;
    EXPECT_EQ(Read("RowCount"), "5");
    EXPECT_EQ(Read("New"), "Add New");
    EXPECT_EQ(Read("Field"), "<missing>");  // written only when its widget is made

    struct Case {
        const char* stored;
        int pageSize;
    } cases[] = {{"10", 10},  {"0", 0},  {"250", 250},    {"12 rows", 12},
                 {"rows", 0}, {"-3", 0}, {"70000", 65535}};
    for (const Case& c : cases) {
        Store("RowCount", c.stored);
        EXPECT_EQ(app::FirstTextPass(m_util, m_file), c.pageSize) << c.stored;
        EXPECT_EQ(Read("RowCount"), c.stored);  // a stored value is never rewritten
    }
}

TEST_F(Texts, FirstPassWithoutTextFolderWritesNothing) {
    const std::string file = m_dir / "missing/texts.ini";
    EXPECT_EQ(app::FirstTextPass(m_util, file), 5);
    EXPECT_FALSE(platform::PathExists(m_dir / "missing"));
}
