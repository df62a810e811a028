#include "platform/paths.h"

#include <gtest/gtest.h>

#include "platform/uuid.h"
#include "temp_dir.h"

TEST(Paths, ModuleDirectoryCutsBeforeLastSeparator) {
    struct Case {
        const char *module, *dir;
    } cases[] = {
        {"/opt/tool/velkor-tool", "/opt/tool"},
        {"/opt/tool\\sub\\velkor-tool", "/opt/tool\\sub"},
        {"velkor-tool", "velkor-tool"},
    };
    for (const auto& c : cases) {
        platform::SetModuleFileNameForTesting(c.module);
        EXPECT_EQ(platform::ModuleDirectory(), c.dir);
    }
    platform::SetModuleFileNameForTesting("");
    EXPECT_NE(platform::ModuleFileName().find("platform_tests"), std::string::npos);
}

TEST(Paths, MakeDirectoryIsOneLevel) {
    testutil::TempDir dir;
    EXPECT_FALSE(platform::MakeDirectory(dir / "a/b"));
    EXPECT_TRUE(platform::MakeDirectory(dir / "a"));
    EXPECT_FALSE(platform::MakeDirectory(dir / "a"));  // exists already
    EXPECT_TRUE(platform::IsDirectory(dir / "a"));
    testutil::WriteFile(dir / "f", "x");
    EXPECT_TRUE(platform::PathExists(dir / "f"));
    EXPECT_FALSE(platform::IsDirectory(dir / "f"));
    EXPECT_FALSE(platform::PathExists(dir / "none"));
}

TEST(Uuid, FreshLowerCaseText) {
    std::string a = platform::NewUuidText(), b = platform::NewUuidText();
    EXPECT_NE(a, b);
    ASSERT_EQ(a.size(), 36u);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23)
            EXPECT_EQ(a[i], '-');
        else
            EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(a[i])) && !std::isupper(a[i]));
    }
}
