// The client's settings: defaults written (sealed where they should be) on the first run and
// read back later; TLS verification on by default, with the two AppConfig.ini keys that
// relax it for a server with a self-signed certificate.
#include <gtest/gtest.h>

#include <string>

#include "client_fixture.h"
#include "config/sealed_ini.h"
#include "loopback_server.h"
#include "net/curl_util.h"
#include "platform/ini.h"
#include "support/cipher.h"

namespace {

const std::string kKey = Cipher::MakeKeyText("5d0c2a17-3b8e-4f61-9a42-c07e81b3d9f5");

std::string Plain(const std::string& file, const std::string& section, const std::string& key) {
    return platform::ReadProfileString(file, section, key, "<none>", 2048);
}

using ConfigTest = ClientTest;

TEST_F(ConfigTest, FirstRunWritesTheDefaultsAndUsesThem) {
    std::remove(ConfigFile().c_str());
    {
        CCurl_Util client;
        EXPECT_EQ(client.GetPostUrl(), "http://127.0.0.1:8080//api//example//jsondata");
        EXPECT_EQ(client.GetDataUrl(), "http://127.0.0.1:8080//Pelmar");
        EXPECT_EQ(client.GetRespWait(), "1000");
        EXPECT_TRUE(client.IsSSL());
    }
    const std::string f = ConfigFile();
    EXPECT_EQ(Plain(f, "HTTP_SERVER", "HttpURL"), "http://127.0.0.1:8080");
    EXPECT_EQ(Plain(f, "HTTP_SERVER_DATA", "HttpURL"), "http://127.0.0.1:8080");
    EXPECT_EQ(Plain(f, "HTTP_SERVER", "HttpSSL"), "true");
    EXPECT_EQ(Plain(f, "HTTP_SERVER", "HttpRespWait"), "1000");
    // Sealed in the file, opened again with the same key.
    EXPECT_NE(Plain(f, "HTTP_SERVER", "PostMsg"), "//api//example//jsondata");
    EXPECT_EQ(ReadIniSealed(f, "HTTP_SERVER", "PostMsg", kKey, true), "//api//example//jsondata");
    EXPECT_EQ(ReadIniSealed(f, "HTTP_SERVER_DATA", "DataFolder", kKey, true), "//Pelmar");

    CCurl_Util second;  // a later run reads what the first one wrote
    EXPECT_EQ(second.GetPostUrl(), "http://127.0.0.1:8080//api//example//jsondata");
    EXPECT_EQ(second.GetRespWait(), "1000");
}

TEST_F(ConfigTest, LaterRunsReadTheFileAsItStands) {
    const std::string f = ConfigFile();
    testutil::WriteFile(f,
                        "[HTTP_SERVER]\nHttpURL=https://db.example:8443\nHttpSSL=TRUE\n"
                        "HttpRespWait=30\n[HTTP_SERVER_DATA]\nHttpURL=https://files.example\n");
    WriteIniSealed(f, "HTTP_SERVER", "PostMsg", "//api//v2", kKey, true);
    CCurl_Util client;
    EXPECT_EQ(client.GetPostUrl(), "https://db.example:8443//api//v2");
    // DataFolder is missing: the marker is taken as read, nothing is rewritten.
    EXPECT_EQ(client.GetDataUrl(), "https://files.exampleError");
    EXPECT_EQ(client.GetRespWait(), "30");
    EXPECT_TRUE(client.IsSSL());
    EXPECT_EQ(Plain(f, "HTTP_SERVER_DATA", "DataFolder"), "<none>");
}

class TlsTest : public ClientTest {
protected:
    testutil::TempDir m_certDir;
    testutil::TestCertificate m_cert{m_certDir.path()};
    testutil::LoopbackServer m_server{m_cert};
};

TEST_F(TlsTest, VerificationIsOnUnlessTheConfigurationRelaxesIt) {
    const std::string ip = m_server.Url();
    const std::string name = "https://localhost:" + std::to_string(m_server.Port());
    const std::string refused = curl_easy_strerror(CURLE_PEER_FAILED_VERIFICATION);
    struct {
        std::string extra;  // lines of [HTTP_SERVER]
        std::string url;
        bool ok;
    } cases[] = {
        {"", ip, false},                        // self-signed: refused
        {"HttpSSLVerify=false\n", ip, true},    // opted out
        {"HttpSSLVerify=FALSE\n", name, true},  // ... host name not checked either
        {"HttpSSLVerify=true\n", ip, false},
        {"HttpCAFile=" + m_cert.certFile + "\n", ip, true},     // trusted through the CA file
        {"HttpCAFile=" + m_cert.certFile + "\n", name, false},  // ... but the name must match
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extra + c.url);
        WriteConfig(c.extra);
        CCurl_Util client;
        std::string answer;
        EXPECT_EQ(client.HttpPutGet(50, true, c.url + "/echo", "tls", &answer), c.ok);
        EXPECT_EQ(answer, c.ok ? "echo:tls" : refused);
    }
}

TEST_F(TlsTest, DownloadsAndGetsUseTheSameSettings) {
    m_server.SetFile("/f", "secret file");
    std::string out, error;
    {
        CCurl_Util client;
        EXPECT_FALSE(client.HttpGet(50, true, m_server.Url() + "/f", &out, &error));
        EXPECT_FALSE(client.HttpFileDownLoad(50, true, m_server.Url(), "f", Path("f"), &error));
    }
    WriteConfig("HttpCAFile=" + m_cert.certFile + "\n");
    CCurl_Util client;
    EXPECT_TRUE(client.HttpGet(50, true, m_server.Url() + "/f", &out, &error));
    EXPECT_EQ(out, "secret file");
    m_server.SetFile("//f", "secret file");
    EXPECT_TRUE(client.HttpFileDownLoad(50, true, m_server.Url(), "f", Path("f"), &error));
    EXPECT_EQ(testutil::ReadFile(Path("f")), "secret file");
}

}  // namespace
