// The client against the reference web service itself, on loopback over HTTP and HTTPS:
// a database command and its error page, a file of the data folder, and the download
// service fetching the files a manifest would name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "client_fixture.h"
#include "db/table_requests.h"
#include "loopback_server.h"
#include "net/curl_util.h"
#include "support/crc_util.h"
#include "web_service.h"

namespace {

class WebServiceTest : public ClientTest, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        std::filesystem::create_directories(m_root / "data/Velkor_ESP32_XX");
        ServiceOptions options;
        options.database = m_root / "db.sqlite";
        options.dataFolder = m_root / "data";
        options.quiet = true;
        if (GetParam()) {
            m_cert = std::make_unique<testutil::TestCertificate>(m_root.path());
            options.certFile = m_cert->certFile;
            options.keyFile = m_cert->keyFile;
            WriteConfig("HttpCAFile=" + m_cert->certFile + "\n");
        }
        m_service = std::make_unique<WebService>(options);
        std::string error;
        ASSERT_TRUE(m_service->Start(error)) << error;
    }
    void TearDown() override {
        m_service->Stop();
        ClientTest::TearDown();
    }

    testutil::TempDir m_root;
    std::unique_ptr<testutil::TestCertificate> m_cert;
    std::unique_ptr<WebService> m_service;
};

TEST_P(WebServiceTest, CommandAnswersAndErrorPages) {
    CCurl_Util client;
    const std::string url = m_service->BaseUrl() + "//api//example//jsondata";
    std::string answer;
    ASSERT_TRUE(client.HttpPutGet(
        50, true, url, dbreq::RequestBody("QUERY", "SELECT * FROM Velkor_ESP32 LIMIT 1"), &answer))
        << answer;
    EXPECT_NE(answer.find("\"AUTOCODE\""), std::string::npos) << answer;

    // The service's error page: a heading and a paragraph inside "container".
    EXPECT_FALSE(
        client.HttpPutGet(50, true, url, dbreq::RequestBody("QUERY", "SELEC nothing"), &answer));
    const auto firstBreak = answer.find("\r\n");
    ASSERT_NE(firstBreak, std::string::npos) << answer;
    const auto secondBreak = answer.find("\r\n", firstBreak + 2);
    EXPECT_GT(firstBreak, 0u);
    EXPECT_GT(secondBreak, firstBreak + 2) << answer;
    EXPECT_EQ(secondBreak, answer.size() - 2) << answer;
    EXPECT_EQ(answer.find('<'), std::string::npos) << answer;
}

TEST_P(WebServiceTest, DownloadServiceFetchesFromTheDataFolder) {
    const std::string body(64 << 10, 'z');
    testutil::WriteFile(m_root / "data/Velkor_ESP32_XX/AppConfig.dfu", "manifest");
    testutil::WriteFile(m_root / "data/Velkor_ESP32_XX/fw.bin", body);
    CCurl_Util client;
    std::string error;
    ASSERT_TRUE(client.HttpFileDownLoad(50, true, m_service->BaseUrl(),
                                        "Velkor_ESP32_XX//AppConfig.dfu", Path("AppConfig.dfu"),
                                        &error))
        << error;
    EXPECT_EQ(testutil::ReadFile(Path("AppConfig.dfu")), "manifest");

    const auto crc = CCrcUtil::GetInstance()->Crc32(
        reinterpret_cast<const unsigned char*>(body.data()), static_cast<int>(body.size()));
    client.AddDownloadItem("/Velkor_ESP32_XX//fw.bin", DownloadItem{crc, "", "", "", Path("fw")});
    client.AddDownloadItem("/Velkor_ESP32_XX//gone.bin", DownloadItem{0, "", "", "", Path("g")});
    ASSERT_TRUE(client.StartDownloadService());
    std::string text;
    ASSERT_TRUE(testutil::WaitFor([&] { return !client.GetDownloadProgress(&text); }, 20));
    EXPECT_EQ(testutil::ReadFile(Path("fw")), body);
    EXPECT_FALSE(std::filesystem::exists(Path("g")));
}

INSTANTIATE_TEST_SUITE_P(HttpAndHttps, WebServiceTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "Https" : "Http"; });

}  // namespace
