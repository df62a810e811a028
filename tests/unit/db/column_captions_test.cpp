#include "db/column_captions.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

TEST(VisibleColumns, CaptionAndVisibilityBothNeeded) {
    testutil::TempDir dir;
    const std::string file = dir / "texts.ini";
    testutil::WriteFile(file,
                        "[DB_TEXT]\n"
                        "serial_number=Serial\nserial_number_IsVisible=1\n"
                        "notes=Notes\nnotes_IsVisible=0\n"
                        "device_name=Name\n"  // no visibility key: hidden
                        "firmware_version=Firmware\nfirmware_version_IsVisible=2\n");
    const std::map<int, std::string> names{{0, "device_name"},
                                           {1, "serial_number"},
                                           {2, "notes"},
                                           {3, "user_id"},
                                           {4, "firmware_version"}};
    std::map<int, std::string> captions, columns;
    CFltfDBUtil ini;
    db::SelectVisibleColumns(ini, file, names, captions, columns);
    EXPECT_EQ(captions, (std::map<int, std::string>{{0, "Serial"}, {1, "Firmware"}}));
    EXPECT_EQ(columns, (std::map<int, std::string>{{0, "serial_number"}, {1, "firmware_version"}}));

    captions.clear();
    columns.clear();
    db::SelectVisibleColumns(ini, dir / "missing.ini", names, captions, columns);
    EXPECT_TRUE(captions.empty());
    EXPECT_TRUE(columns.empty());
}

}  // namespace
