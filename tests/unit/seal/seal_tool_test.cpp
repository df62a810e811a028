// The sealing tool end to end: what it writes, the program's readers open.
#include <gtest/gtest.h>
#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <filesystem>
#include <sstream>

#include "seal/manifest.h"
#include "seal/seal_cli.h"
#include "support/boost_file_utils.h"
#include "support/cipher.h"
#include "support/key_text.h"
#include "temp_dir.h"

namespace {
struct ToolRun {
    int rc;
    std::string out, err;
};

ToolRun Tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int rc = seal::RunSealTool(args, out, err);
    return {rc, out.str(), err.str()};
}

CBoostFileUtils& F() {
    return *CBoostFileUtils::GetInstance();
}
}  // namespace

TEST(SealTool, SealedFileOpensWithTheReaderAndTheTool) {
    testutil::TempDir dir;
    std::string payload("image\0bytes\xff of odd length", 27);
    testutil::WriteFile(dir / "fw.bin", payload);
    ASSERT_EQ(Tool({"seal", "--key", "12345", dir / "fw.bin", dir / "fw.dfu"}).rc, 0);
    std::string out;
    ASSERT_TRUE(F().ReadSealedFile(dir / "fw.dfu", "12345", out));
    EXPECT_EQ(out, payload);
    EXPECT_EQ(Tool({"open", "--key", "12345", dir / "fw.dfu"}).out, payload);
    ASSERT_EQ(Tool({"open", "--key", "12345", dir / "fw.dfu", dir / "back.bin"}).rc, 0);
    EXPECT_EQ(testutil::ReadFile(dir / "back.bin"), payload);
}

TEST(SealTool, OpenSaysWhyItCannot) {
    testutil::TempDir dir;
    testutil::WriteFile(dir / "plain", "hello");
    ASSERT_EQ(Tool({"seal", "--key", "k", dir / "plain", dir / "s"}).rc, 0);
    std::string damaged = testutil::ReadFile(dir / "s");
    damaged[2] = damaged[2] == 'A' ? 'B' : 'A';
    testutil::WriteFile(dir / "damaged", damaged);
    testutil::WriteFile(dir / "group", "QUJD");
    testutil::WriteFile(dir / "text", "this is not sealed\n");
    struct Case {
        std::string file, key, reason;
    };
    const Case cases[] = {
        {dir / "s", "wrong", "CRC mismatch"},  {dir / "damaged", "k", "CRC mismatch"},
        {dir / "group", "k", "too short"},     {dir / "text", "k", "not a Base64 text"},
        {dir / "missing", "k", "cannot read"}, {dir / "s", "", "no key text"},
    };
    for (const Case& c : cases) {
        ToolRun r = Tool({"open", "--key", c.key, c.file});
        EXPECT_EQ(r.rc, 1) << c.file;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.file << ": " << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(SealTool, KeyTextsAndCipherCommands) {
    EXPECT_EQ(Tool({"keytext", "123456789"}).out, "8304364395620975745\n");
    EXPECT_EQ(Tool({"makekey", "123456789"}).out, "340BC6D9\n");
    ToolRun r = Tool({"encrypt", "--keytext", "340BC6D9", "user@example.org"});
    ASSERT_EQ(r.rc, 0);
    r.out.pop_back();
    EXPECT_EQ(Cipher::GetInstance()->DecryptText(r.out, "340BC6D9"), "user@example.org");
    for (const auto& bad : std::vector<std::vector<std::string>>{
             {}, {"nope"}, {"seal", "in", "out"}, {"keytext"}, {"encrypt", "text"}}) {
        EXPECT_EQ(Tool(bad).rc, 2);
    }
}

TEST(SealTool, ManifestPublishesSealedFirmwareAndPlainFiles) {
    testutil::TempDir dir;
    testutil::WriteFile(dir / "fw.bin", std::string(5000, '\x5a'));
    testutil::WriteFile(dir / "notes.txt", "release notes");
    testutil::WriteFile(dir / "desc.json", R"({
      "Groups": [
        {"Name": "Velkor", "Entries": [
          {"APP_UUID": "11111111-2222-3333-4444-555555555555", "Localfolder": "fw\\usb",
           "Remotefolder": "Velkor_ESP32_XX//fw", "FwVersionInfo": "1.2.3-2025",
           "ReleaseNote": "say \"hi\"", "FileType": "bin", "RemotefileName": "app.dfu",
           "AppType": "Embedded", "CLSID": "{A}", "File": "fw.bin"}]},
        {"Name": "Docs", "Entries": [
          {"APP_UUID": "u2", "Remotefolder": "docs", "FwVersionInfo": "1", "FileType": "txt",
           "RemotefileName": "notes.txt", "LocalfileName": "n.txt", "CLSID": "{B}",
           "File": "notes.txt"}]}
      ]})");
    ToolRun r = Tool({"manifest", dir / "desc.json", dir / "out"});
    ASSERT_EQ(r.rc, 0) << r.err;

    std::string json;
    ASSERT_TRUE(F().ReadSealedFile(dir / "out/Velkor_ESP32_XX/AppConfig.dfu",
                                   Crc64KeyText(seal::kApplicationToken), json));
    std::istringstream in(json);
    boost::property_tree::ptree root;
    boost::property_tree::read_json(in, root);
    auto groups = root.begin();
    ASSERT_EQ(groups->first, "Velkor");
    const auto& fw = groups->second.begin()->second;
    EXPECT_EQ(fw.get<std::string>("Localfolder"), "fw\\usb");
    EXPECT_EQ(fw.get<std::string>("ReleaseNote"), "say \"hi\"");
    EXPECT_EQ(fw.get<std::string>("LocalfileName"), "app.dfu");
    std::string image = dir / "out/Velkor_ESP32_XX/fw/app.dfu";
    EXPECT_EQ(std::stoul(fw.get<std::string>("FileCRC")), F().GetFileCrc(image));
    std::string plain;
    ASSERT_TRUE(
        F().ReadSealedFile(image, Crc64KeyText("11111111-2222-3333-4444-555555555555"), plain));
    EXPECT_EQ(plain, std::string(5000, '\x5a'));

    const auto& doc = std::next(groups)->second.begin()->second;
    EXPECT_EQ(std::next(groups)->first, "Docs");
    EXPECT_EQ(testutil::ReadFile(dir / "out/docs/notes.txt"), "release notes");
    EXPECT_EQ(std::stoul(doc.get<std::string>("FileCRC")),
              F().GetFileCrc(dir / "out/docs/notes.txt"));
    EXPECT_EQ(doc.get<std::string>("AppType"), "");
}

TEST(SealTool, ManifestRefusesBadDescriptions) {
    testutil::TempDir dir;
    testutil::WriteFile(dir / "f", "x");
    const std::string entry =
        R"("APP_UUID": "u", "Remotefolder": "r", "FwVersionInfo": "1", "FileType": "t", "CLSID": "c")";
    struct Case {
        const char* name;
        std::string json;
        const char* reason;
    };
    const Case cases[] = {
        {"not json", "{", "desc.json"},
        {"no groups", "{}", "missing Groups"},
        {"missing member", R"({"Groups":[{"Name":"G","Entries":[{"APP_UUID":"u"}]}]})",
         "entry 1: missing"},
        {"escape",
         R"({"Groups":[{"Name":"G","Entries":[{)" + entry +
             R"(, "RemotefileName": "../../x", "File": "f"}]}]})",
         "unsafe"},
        {"missing file",
         R"({"Groups":[{"Name":"G","Entries":[{)" + entry +
             R"(, "RemotefileName": "y", "File": "nofile"}]}]})",
         "cannot read"},
    };
    for (const Case& c : cases) {
        testutil::WriteFile(dir / "desc.json", c.json);
        ToolRun r = Tool({"manifest", dir / "desc.json", dir / "out"});
        EXPECT_EQ(r.rc, 1) << c.name;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.name << ": " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}
