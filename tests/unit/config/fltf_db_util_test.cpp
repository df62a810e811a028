#include "config/fltf_db_util.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "config/gui_text.h"
#include "platform/paths.h"
#include "temp_dir.h"

using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

namespace {

// A program folder of the test's own: GetModuleDir() answers it.
class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override { platform::SetModuleFileNameForTesting(dir / "velkor-tool"); }
    void TearDown() override { platform::SetModuleFileNameForTesting(""); }
    TempDir dir;
    CFltfDBUtil util;
};

}  // namespace

TEST(DecodeHexText, ByteListsAndPlainTexts) {
    CFltfDBUtil u;
    struct Case {
        const char *in, *out;
    } cases[] = {
        {"plain text", "plain text"},   // no backslash: unchanged
        {"10", "10"},                   // two characters, no byte list
        {"41\\42", "AB"},
        {"48\\65\\6C\\6C\\6F", "Hello"},
        {"\\41", ""},                   // empty first token ends the text
        {"Hello\\World", ""},           // a token without a leading hex digit gives 0
        {"41\\\\\\42", "AB"},           // a run of backslashes is one cut
        {"41\\zz\\42", "A"},
        {"141\\C3\\A4", "A\xC3\xA4"},    // low byte of a bigger number; UTF-8 bytes
        {"41\\", "A"},                  // trailing backslash: empty last token ends it
    };
    for (const auto& c : cases) EXPECT_EQ(u.DecodeHexText(c.in), c.out) << c.in;
}

TEST(DecodeHexText, IntoBufferCountsBytesAndNeverOverflows) {
    CFltfDBUtil u;
    char buf[4];
    EXPECT_EQ(u.DecodeHexTextInto("41\\42", buf, sizeof buf), 2u);
    EXPECT_STREQ(buf, "AB");
    EXPECT_EQ(u.DecodeHexTextInto("41\\42\\43\\44\\45", buf, sizeof buf), 3u);
    EXPECT_STREQ(buf, "ABC");
    EXPECT_EQ(u.DecodeHexTextInto("plain text", buf, sizeof buf), 0u);  // copied, cut, 0
    EXPECT_STREQ(buf, "pla");
}

TEST(SplitText, RunsOfDelimitersCountAsOneCut) {
    CFltfDBUtil u;
    std::map<int, std::string> t;
    u.SplitText(";a;;b;", ";", t);
    EXPECT_EQ(t, (std::map<int, std::string>{{0, ""}, {1, "a"}, {2, "b"}, {3, ""}}));
    u.SplitText("a\r\n\nb", "\r\n", t);
    EXPECT_EQ(t, (std::map<int, std::string>{{0, "a"}, {1, "b"}}));
    u.SplitText("", ";", t);
    EXPECT_EQ(t, (std::map<int, std::string>{{0, ""}}));
}

TEST_F(ProgramFolder, MarkersForMissingFileAndKey) {
    const std::string f = dir / "x.ini";
    EXPECT_EQ(util.ReadIniString(f, "s", "k"), "File Not Found");
    WriteFile(f, "[s]\nk=10\nbad=Error\nlong=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(util.ReadIniString(f, "s", "k"), "10");
    EXPECT_EQ(util.ReadIniString(f, "s", "none"), "Error");
    EXPECT_EQ(util.ReadIniString(f, "s", "bad"), "Error");
    EXPECT_EQ(util.ReadIniString(f, "s", "long").size(), 2023u);
    EXPECT_EQ(util.ReadIniValue(f, "s", "long").size(), 254u);
    EXPECT_EQ(util.ReadIniValue(dir / "none.ini", "s", "k"), "Error");
}

TEST_F(ProgramFolder, FirstLanguageChoiceWritesEngAndMakesFolders) {
    const std::string file = util.LanguageFile("Velkor_ESP32");
    EXPECT_EQ(file, dir.path() + "//Velkor_ESP32//eng//Velkor_ESP32.ini");
    EXPECT_EQ(util.ReadIniString(dir / "AppConfig.ini", "LANG_TEXT", "Velkor_ESP32"), "eng");
    EXPECT_TRUE(DirectoryExists(dir / "Velkor_ESP32/eng"));
    // The text-with-default rule now writes into the new folder.
    EXPECT_EQ(util.TextWithDefault(file, gui_text::kSection, gui_text::kDone.key,
                                   gui_text::kDone.def),
              "Done");
    EXPECT_EQ(util.ReadIniString(file, "GUI_TEXT", "Done"), "Done");
}

TEST_F(ProgramFolder, LanguageWithoutFolderGivesDefaultsAndWritesNothing) {
    WriteFile(dir / "AppConfig.ini", "[LANG_TEXT]\nVelkor_ESP32=deu\n");
    const std::string file = util.LanguageFile("Velkor_ESP32");
    EXPECT_EQ(file, dir.path() + "//Velkor_ESP32//deu//Velkor_ESP32.ini");
    EXPECT_EQ(util.TextWithDefault(file, "GUI_TEXT", "Exit", "Exit"), "Exit");
    util.EnsureText(file, "GUI_TEXT", "Edit", "Edit");
    EXPECT_FALSE(platform::PathExists(dir / "Velkor_ESP32"));
}

TEST_F(ProgramFolder, StoredTextsAreDecodedAndMarkersRewritten) {
    ASSERT_TRUE(platform::MakeDirectory(dir / "t"));
    const std::string f = dir / "t/g.ini";
    WriteFile(f, "[GUI_TEXT]\nExit=45\\6E\\64\\65\nRowCount=10\nNew=Error\n");
    EXPECT_EQ(util.TextWithDefault(f, "GUI_TEXT", "Exit", "Exit"), "Ende");
    EXPECT_EQ(util.TextWithDefault(f, "GUI_TEXT", "RowCount", "5"), "10");
    EXPECT_EQ(util.TextWithDefault(f, "GUI_TEXT", "New", "Add New"), "Add New");
    EXPECT_EQ(util.ReadIniString(f, "GUI_TEXT", "New"), "Add New");
    EXPECT_EQ(util.ReadIniString(f, "GUI_TEXT", "Exit"), "45\\6E\\64\\65");  // kept as stored
}

// Every name length is safe, and the first call's path is kept for all later calls.
TEST(HomePath, FirstCallFixesThePath) {
    setenv("HOME", "/home/tech", 1);
    const std::string first = HomePath("log.txt");
    EXPECT_EQ(first, "/home/tech/log.txt");
    EXPECT_EQ(HomePath(std::string(5000, 'n')), first);
    EXPECT_EQ(HomePath(""), first);
}
