// File download from the data folder: the tool's "//"-joined paths, missing files, and paths
// that try to leave the folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "service_fixture.h"

namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        const std::string folder = service.dataFolder + "/Pelmar/demo/Velkor_ESP32_XX";
        fs::create_directories(folder + "/fw");
        testutil::WriteFile(folder + "/AppConfig.dfu", std::string("sealed\0manifest", 15));
        testutil::WriteFile(folder + "/fw/app.bin", std::string(300000, '\x5a'));
        testutil::WriteFile(service.dir / "secret.txt", "outside");
        fs::create_symlink(service.dir / "secret.txt", folder + "/link-out");
        fs::create_symlink(service.dir.path(), folder + "/dir-out");
        fs::create_symlink(folder + "/fw/app.bin", folder + "/link-in");
    }
    ServiceFixture service{GetParam(), 0};
};

TEST_P(FilesTest, ServesFilesByTheToolsDoubleSlashPaths) {
    const HttpAnswer manifest = service.File("//Pelmar//demo//Velkor_ESP32_XX//AppConfig.dfu");
    EXPECT_EQ(manifest.status, 200);
    EXPECT_EQ(manifest.body, std::string("sealed\0manifest", 15));
    const HttpAnswer image = service.File("//Pelmar//demo//Velkor_ESP32_XX//fw//app.bin");
    EXPECT_EQ(image.status, 200);
    EXPECT_EQ(image.body, std::string(300000, '\x5a'));
    // A link that stays inside the folder is followed.
    EXPECT_EQ(service.File("/Pelmar/demo/Velkor_ESP32_XX/link-in").status, 200);
}

TEST_P(FilesTest, MissingFileIsA404Page) {
    for (const char* path : {"//Pelmar//demo//Velkor_ESP32_XX//nothere.bin",
                             "//Pelmar//demo//Velkor_ESP32_XX", "/"}) {
        const HttpAnswer answer = service.File(path);
        EXPECT_EQ(answer.status, 404) << path;
        EXPECT_NE(ContainerText(answer.body), "") << path;
    }
}

TEST_P(FilesTest, PathsLeavingTheDataFolderAreRefused) {
    for (const char* path : {"/../secret.txt", "//..//..//etc//passwd", "/%2e%2e/secret.txt",
                             "/Pelmar/..%2f..%2fsecret.txt", "/Pelmar/demo/./../../secret.txt",
                             "/..\\secret.txt", "/Pelmar/demo/Velkor_ESP32_XX/link-out",
                             "/Pelmar/demo/Velkor_ESP32_XX/dir-out/secret.txt"}) {
        const HttpAnswer answer = service.File(path);
        EXPECT_TRUE(answer.status == 403 || answer.status == 400) << path << " " << answer.status;
        EXPECT_EQ(answer.body.find("outside"), std::string::npos) << path;
        EXPECT_NE(ContainerText(answer.body), "") << path << ": " << answer.body;
    }
}

INSTANTIATE_TEST_SUITE_P(HttpAndHttps, FilesTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Https" : "Http"; });

}  // namespace
