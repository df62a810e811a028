// Application files published into an account folder and fetched the way the tool fetches
// them: the sealed manifest from <folder>//Velkor_ESP32_XX//AppConfig.dfu, then every file at
// <folder> + Remotefolder + "//" + RemotefileName, its CRC-32 as the manifest states.
#include "publish.h"

#include <gtest/gtest.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <filesystem>
#include <sstream>

#include "seal/manifest.h"
#include "seal/seal_files.h"
#include "service_fixture.h"
#include "support/crc_util.h"
#include "support/key_text.h"

namespace {

namespace pt = boost::property_tree;

std::string Entry(const char* uuid, const char* version, const char* file) {
    return std::string("{\"APP_UUID\":\"") + uuid +
           "\",\"Localfolder\":\"Firmware\",\"Remotefolder\":\"Velkor_ESP32_XX//Firmware\","
           "\"FwVersionInfo\":\"" + version + "\",\"ReleaseNote\":\"demo\",\"FileType\":\"bin\","
           "\"RemotefileName\":\"" + file + "\",\"AppType\":\"Embedded\",\"CLSID\":\"{" + uuid +
           "}\",\"File\":\"" + file + ".plain\"}";
}

class PublishTest : public ::testing::Test {
protected:
    void SetUp() override {
        testutil::WriteFile(service.dir / "app_100.dfu.plain", std::string(5000, 'a'));
        testutil::WriteFile(service.dir / "app_110.dfu.plain", std::string(7000, 'b'));
        testutil::WriteFile(description,
                            "{\"Groups\":[{\"Name\":\"Velkor\",\"Entries\":[" +
                                Entry("0b7e3c52-3f0e-4d8a-9a43-6f1f2b7c9d10", "1.0.0-2024",
                                      "app_100.dfu") + "," +
                                Entry("7a1d2e40-5b6c-4f70-8d91-a2b3c4d5e6f7", "1.1.0-2025",
                                      "app_110.dfu") + "]}]}");
    }
    // What the tool downloads, opened under `keyText`.
    std::string FetchOpened(const std::string& path, const std::string& keyText,
                            uint32_t* crc = nullptr) {
        const HttpAnswer answer = service.File(path);
        EXPECT_EQ(answer.status, 200) << path;
        if (crc)
            *crc = CCrcUtil::GetInstance()->Crc32(
                reinterpret_cast<const unsigned char*>(answer.body.data()),
                static_cast<int32_t>(answer.body.size()));
        testutil::WriteFile(service.dir / "fetched", answer.body);
        std::string payload, error;
        EXPECT_TRUE(seal::OpenFile(service.dir / "fetched", keyText, payload, error)) << error;
        return payload;
    }
    ServiceFixture service{false, 0};
    std::string description = service.dir / "description.json";
    const std::string folder = "//Pelmar//demo//";  // the account's user_server_folder path
};

TEST_F(PublishTest, TheToolFindsTheManifestAndEverySealedImage) {
    std::string error;
    ASSERT_TRUE(
        webservice::PublishApplicationFiles(service.dataFolder, "Pelmar//demo", description, error))
        << error;
    const std::string manifest =
        FetchOpened(folder + "//Velkor_ESP32_XX//AppConfig.dfu",
                    Crc64KeyText(seal::kApplicationToken));
    pt::ptree tree;
    std::istringstream in(manifest);
    pt::read_json(in, tree);
    int entries = 0;
    for (const auto& [_, entry] : tree.get_child("Velkor")) {
        uint32_t crc = 0;
        const std::string image =
            FetchOpened(folder + entry.get<std::string>("Remotefolder") + "//" +
                            entry.get<std::string>("RemotefileName"),
                        Crc64KeyText(entry.get<std::string>("APP_UUID")), &crc);
        EXPECT_EQ(entry.get<std::string>("FileCRC"), std::to_string(crc));
        EXPECT_EQ(image, std::string(entries == 0 ? 5000 : 7000, entries == 0 ? 'a' : 'b'));
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

TEST_F(PublishTest, AccountFolderMustStayInsideTheDataFolder) {
    for (const char* bad : {"../outside", "/tmp/outside", "Pelmar/../../outside", ""}) {
        std::string error;
        EXPECT_FALSE(
            webservice::PublishApplicationFiles(service.dataFolder, bad, description, error))
            << bad;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(service.dir / "outside"));
}

}  // namespace
