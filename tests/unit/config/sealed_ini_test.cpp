// Sealed INI values: stored sealed, read back whole, "Error" for anything that cannot open.
#include "config/sealed_ini.h"

#include <gtest/gtest.h>

#include "support/cipher.h"
#include "temp_dir.h"

TEST(SealedIni, SealedValueRoundTripsAndIsNotStoredPlain) {
    testutil::TempDir dir;
    std::string file = dir / "AppConfig.ini";
    WriteIniSealed(file, "HTTP", "User", "operator@example.org", "5A1B2C3D", true);
    EXPECT_EQ(testutil::ReadFile(file).find("operator"), std::string::npos);
    EXPECT_EQ(ReadIniSealed(file, "HTTP", "User", "5A1B2C3D", true), "operator@example.org");
    EXPECT_EQ(ReadIniSealed(file, "http", "user", "5A1B2C3D", true), "operator@example.org");
}

TEST(SealedIni, PlainValuesPassUnchanged) {
    testutil::TempDir dir;
    std::string file = dir / "Passthru.ini";
    WriteIniSealed(file, "SSDP", "Port", "1900", "ignored", false);
    EXPECT_EQ(ReadIniSealed(file, "SSDP", "Port", "ignored", false), "1900");
}

TEST(SealedIni, MissingOrUnopenableValuesReadAsError) {
    testutil::TempDir dir;
    std::string file = dir / "AppConfig.ini";
    EXPECT_EQ(ReadIniSealed(file, "HTTP", "User", "k", true), "Error");  // no file
    testutil::WriteFile(file, "[HTTP]\nBad=not base64!\nShort=QUJD\n");
    EXPECT_EQ(ReadIniSealed(file, "HTTP", "User", "k", true), "Error");
    EXPECT_EQ(ReadIniSealed(file, "HTTP", "Bad", "k", true), "Error");
    EXPECT_EQ(ReadIniSealed(file, "HTTP", "Short", "k", true), "Error");
}

TEST(SealedIni, LongSealedValueIsReadWhole) {
    // 300 plain bytes seal to 408 characters, beyond the short reader's 254.
    testutil::TempDir dir;
    std::string file = dir / "AppConfig.ini";
    std::string value(300, 'v');
    WriteIniSealed(file, "HTTP", "Token", value, "k", true);
    EXPECT_EQ(ReadIniSealed(file, "HTTP", "Token", "k", true), value);
}
