#include "platform/ini.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "temp_dir.h"

using platform::ReadProfileString;
using platform::WriteProfileString;
using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

TEST(Ini, ReadsWithWindowsSemantics) {
    TempDir dir;
    const std::string f = dir / "a.ini";
    WriteFile(f,
              "; comment\r\n[Main]\r\n  Key = value with blanks  \r\nQuoted=\"  q  \"\r\n"
              "Single='s'\r\nEmpty=\r\n[other]\r\nkey=wrong\r\n[MAIN]\r\nlate=no\r\n");
    struct Case {
        const char *section, *key, *expected;
    } cases[] = {
        {"Main", "Key", "value with blanks"},
        {"main", "KEY", "value with blanks"},  // case-insensitive section and key
        {"Main", "Quoted", "  q  "},           // one pair of quotes removed, inside kept
        {"Main", "Single", "s"},
        {"Main", "Empty", ""},
        {"Main", "missing", "DEF"},
        {"Main", "late", "DEF"},  // only the first matching section counts
        {"other", "key", "wrong"},
        {"nosection", "key", "DEF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadProfileString(f, c.section, c.key, "DEF", 2024), c.expected)
            << c.section << "/" << c.key;
}

TEST(Ini, MissingFileGivesDefaultAndBufferLimitsLength) {
    TempDir dir;
    EXPECT_EQ(ReadProfileString(dir / "none.ini", "s", "k", "Error", 2024), "Error");
    WriteFile(dir / "b.ini", "[s]\nk=" + std::string(300, 'x') + "\n");
    EXPECT_EQ(ReadProfileString(dir / "b.ini", "s", "k", "", 255).size(), 254u);
}

TEST(Ini, WriteCreatesReplacesAndKeepsOtherLines) {
    TempDir dir;
    const std::string f = dir / "c.ini";
    ASSERT_TRUE(WriteProfileString(f, "LANG_TEXT", "Velkor_ESP32", "eng"));
    EXPECT_EQ(ReadFile(f), "[LANG_TEXT]\nVelkor_ESP32=eng\n");

    WriteFile(f, "; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(WriteProfileString(f, "a", "X", "10"));   // replaced in place
    ASSERT_TRUE(WriteProfileString(f, "A", "z", "3"));    // appended to its section
    ASSERT_TRUE(WriteProfileString(f, "C", "w", "4"));    // new section at the end
    EXPECT_EQ(ReadFile(f),
              "; keep me\r\n[A]\r\nX=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nw=4\r\n");
}

TEST(Ini, WriteIntoMissingFolderFailsAndLeavesNothing) {
    TempDir dir;
    EXPECT_FALSE(WriteProfileString(dir / "no/such.ini", "s", "k", "v"));
}

// Readers never see a half-written file: every write replaces the file whole, and no
// temporary file is left beside it.
TEST(Ini, WritesReplaceTheFileWhole) {
    TempDir dir;
    const std::string f = dir / "d.ini";
    WriteFile(f, "[s]\nk=" + std::string(20000, 'a') + "\n");
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!stop) {
            std::string v = ReadProfileString(f, "s", "k", "MISSING", 100000);
            if (v.size() != 20000 || v.find_first_not_of(v[0]) != std::string::npos) ++torn;
        }
    });
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(WriteProfileString(f, "s", "k", std::string(20000, i % 2 ? 'b' : 'c')));
    stop = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}
