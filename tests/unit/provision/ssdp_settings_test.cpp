// Discovery settings in Passthru.ini.
#include "provision/ssdp_settings.h"

#include <gtest/gtest.h>

#include "platform/ini.h"
#include "temp_dir.h"

namespace {

class SsdpSettings : public ::testing::Test {
protected:
    std::string Ini() const { return m_dir / "Passthru.ini"; }
    std::string Stored(const char* key) const {
        return platform::ReadProfileString(Ini(), "TCP", key, "(none)", 256);
    }
    testutil::TempDir m_dir;
};

TEST_F(SsdpSettings, MissingFileWritesThePortAndSearchesOn1900) {
    provision::SsdpSettings s = provision::ReadSsdpSettings(Ini());
    EXPECT_EQ(Stored("SSDPort"), "1900");
    EXPECT_EQ(s.port, 1900);
    EXPECT_EQ(s.message,
              "M-SEARCH * HTTP/1.1\r\nHOST: 239.255.255.250:1900\r\nMAN: \"ssdp:discover\"\r\n"
              "MX: 3\r\nST: ssdp:all\r\n\r\n");
    EXPECT_EQ(s.interfaceAddress, "");
    EXPECT_EQ(Stored("SSDPInterface"), "(none)");  // the system's choice is not written
}

TEST_F(SsdpSettings, StoredValues) {
    struct Case {
        const char* lines;
        int port;
        std::string message;
        std::string interfaceAddress;
    } cases[] = {
        {"SSDPort=1901\n", 1901, provision::SearchMessage("1901"), ""},
        {"SSDPort=1901\nSSDPMsg=M-SEARCH * HTTP/1.1 as written\n", 1901,
         "M-SEARCH * HTTP/1.1 as written", ""},
        {"SSDPort=1900\nSSDPMsg=\n", 1900, "", ""},
        {"SSDPort=\nSSDPMsg=ignored\n", 1900, "", ""},
        {"SSDPort=1902abc\n", 1902, provision::SearchMessage("1902abc"), ""},
        {"SSDPort=70000\n", 1900, provision::SearchMessage("70000"), ""},
        {"SSDPort=1900\nSSDPInterface=127.0.0.1\n", 1900, provision::SearchMessage("1900"),
         "127.0.0.1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        testutil::WriteFile(Ini(), std::string("[TCP]\n") + c.lines);
        provision::SsdpSettings s = provision::ReadSsdpSettings(Ini());
        EXPECT_EQ(s.port, c.port);
        EXPECT_EQ(s.message, c.message);
        EXPECT_EQ(s.interfaceAddress, c.interfaceAddress);
    }
    EXPECT_NE(provision::SearchMessage("1901").find("HOST: 239.255.255.250:1901\r\n"),
              std::string::npos);
}

}  // namespace
