#include "platform/registry.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "platform/paths.h"
#include "temp_dir.h"

using platform::RegistryKey;
using testutil::ReadFile;
using testutil::WriteFile;

namespace {

// A registration as another J2534 tool writes it: protocol flags and a serial port.
const char kForeign[] =
    "{\n"
    "    \"NAME\": \"Other Cable\",\n"
    "    \"VENDOR\": \"Cable \\\"Works\\\"\",\n"
    "    \"FUNCTION_LIB\": \"~/lib/other.so\",\n"
    "    \"CONFIG_APP\": \"\",\n"
    "    \"CAN\": true, \"ISO15765\": 1, \"J1850VPW\": false,\n"
    "    \"COM-PORT\": \"/dev/ttyUSB0\",\n"
    "    \"PROTOCOLS\": [\"CAN\", {\"ISO\": [1, 2]}]\n"
    "}\n";

const char kUsbKey[] = "SOFTWARE\\WOW6432Node\\PassThruSupport.04.04\\QVX_USB_J2534";

// Each test has a registry store of its own ($PASSTHRU_DIR); HOME is put back afterwards.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        const char* home = std::getenv("HOME");
        m_home = home ? home : "";
        ::mkdir(RegistryDir().c_str(), 0755);
        setenv("PASSTHRU_DIR", RegistryDir().c_str(), 1);
    }
    void TearDown() override {
        unsetenv("PASSTHRU_DIR");
        setenv("HOME", m_home.c_str(), 1);
    }

    std::string RegistryDir() const { return m_dir / "passthru"; }
    // Writes RegistryDir()/<file>.json.
    void Register(const std::string& file, const std::string& json) {
        WriteFile(RegistryDir() + "/" + file + ".json", json);
    }

private:
    testutil::TempDir m_dir;
    std::string m_home;
};

}  // namespace

TEST_F(RegistryTest, ReadsAnotherToolsFile) {
    Register("other", kForeign);
    setenv("HOME", "/home/tech", 1);
    auto key = RegistryKey::Open("Software\\PassThruSupport.04.04\\OTHER");
    ASSERT_TRUE(key);
    struct {
        const char *value, *expected;
    } cases[] = {
        {"Name", "Other Cable"},       {"NAME", "Other Cable"},
        {"Vendor", "Cable \"Works\""}, {"FunctionLibrary", "/home/tech/lib/other.so"},
        {"ConfigApplication", ""},     {"COM-PORT", "/dev/ttyUSB0"},
        {"com-port", "/dev/ttyUSB0"},  {"CAN", "true"},
    };
    for (const auto& c : cases) {
        std::string v;
        EXPECT_TRUE(key->QueryString(c.value, v)) << c.value;
        EXPECT_EQ(v, c.expected) << c.value;
    }
    std::string v;
    EXPECT_FALSE(key->QueryString("SSDP", v));
    std::uint32_t n = 0;
    EXPECT_TRUE(key->QueryDword("ISO15765", n));
    EXPECT_EQ(n, 1u);
    EXPECT_FALSE(key->QueryDword("CAN", n));
}

TEST_F(RegistryTest, WritingAValueKeepsEveryOtherByte) {
    Register("QVX_USB_J2534", kForeign);
    const std::string file = RegistryDir() + "/QVX_USB_J2534.json";
    auto key = RegistryKey::Open(kUsbKey, RegistryKey::Access::Write);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->SetDword("SSDP", 0xC0A80150));
    ASSERT_TRUE(key->SetString("MQTT", "c2Vh\"led\";A0B1"));
    ASSERT_TRUE(key->SetDword("SSDP", 0x0A000007));  // replaced in place, not added again
    std::string expected = kForeign;
    expected.insert(expected.rfind(']') + 1,
                    ",\n  \"SSDP\": 167772167,\n  \"MQTT\": \"c2Vh\\\"led\\\";A0B1\"");
    EXPECT_EQ(ReadFile(file), expected);

    auto again = RegistryKey::Open("Software\\PassThruSupport.04.04\\qvx_usb_j2534");
    ASSERT_TRUE(again);
    std::string mqtt;
    std::uint32_t ssdp = 0;
    EXPECT_TRUE(again->QueryString("mqtt", mqtt));
    EXPECT_EQ(mqtt, "c2Vh\"led\";A0B1");
    EXPECT_TRUE(again->QueryDword("SSDP", ssdp));
    EXPECT_EQ(ssdp, 0x0A000007u);
    EXPECT_FALSE(again->SetDword("SSDP", 1));  // opened for reading
}

TEST_F(RegistryTest, NoKeyIsCreated) {
    EXPECT_FALSE(RegistryKey::Open(kUsbKey, RegistryKey::Access::Write));
    EXPECT_FALSE(RegistryKey::Open("Software\\PassThruSupport.04.04", RegistryKey::Access::Write));
    EXPECT_FALSE(RegistryKey::Open("Software\\Other\\QVX_USB_J2534"));
    EXPECT_FALSE(RegistryKey::Open("Software\\PassThruSupport.04.04\\a\\b"));
    Register("QVX_USB_J2534", "{\"NAME\":\"QVX_USB_J2534\"}");
    auto key = RegistryKey::Open(kUsbKey, RegistryKey::Access::Write);
    ASSERT_TRUE(key);
    ::remove((RegistryDir() + "/QVX_USB_J2534.json").c_str());
    EXPECT_FALSE(key->SetDword("SSDP", 1));  // the file went away: not written back
    EXPECT_FALSE(platform::PathExists(RegistryDir() + "/QVX_USB_J2534.json"));

    Register("empty", "{\"NAME\":\"e\"}");
    key = RegistryKey::Open("Software\\PassThruSupport.04.04\\empty", RegistryKey::Access::Write);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->SetString("MQTT", "x"));
    EXPECT_EQ(ReadFile(RegistryDir() + "/empty.json"), "{\"NAME\":\"e\",\n  \"MQTT\": \"x\"}");
}

TEST_F(RegistryTest, InvalidFilesAreSkipped) {
    const char* invalid[] = {
        "",
        "not json",
        "[1,2]",
        "{\"VENDOR\":\"v\"}",
        "{\"NAME\":5}",
        "{\"NAME\":\"a\",}",
        "{\"NAME\":\"a\"",
        "{\"NAME\":\"a\"} trailing",
        "{\"NAME\":\"a\",\"x\":01}",
        "{\"NAME\":\"a\",\"x\":\"\x01\"}",
    };
    int i = 0;
    for (const char* text : invalid) Register("bad" + std::to_string(i++), text);
    std::string deep =
        "{\"NAME\":\"d\",\"x\":" + std::string(5000, '[') + std::string(5000, ']') + "}";
    Register("deep", deep);
    Register("good", "{\"NAME\":\"good\"}");
    WriteFile(RegistryDir() + "/notes.txt", "{\"NAME\":\"txt\"}");
    auto root = RegistryKey::Open("SOFTWARE\\WOW6432Node\\PassThruSupport.04.04");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->SubKeyNames(), std::vector<std::string>{"good"});
    EXPECT_FALSE(RegistryKey::Open("Software\\PassThruSupport.04.04\\bad0"));
}

TEST_F(RegistryTest, StoreFolderComesFromTheEnvironment) {
    EXPECT_EQ(platform::PassThruStoreFolder(), RegistryDir());
    setenv("PASSTHRU_DIR", "", 1);
    setenv("HOME", "/home/tech", 1);
    EXPECT_EQ(platform::PassThruStoreFolder(), "/home/tech/.passthru");
    setenv("PASSTHRU_DIR", (RegistryDir() + "/missing").c_str(), 1);
    EXPECT_FALSE(RegistryKey::Open("Software\\PassThruSupport.04.04"));
}
