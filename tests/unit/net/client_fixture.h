// A program folder of its own for each client test, with an AppConfig.ini that already holds
// a configuration (so the first-run defaults stay out of the way unless a test wants them).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"
#include "temp_dir.h"

class ClientTest : public testing::Test {
protected:
    void SetUp() override {
        platform::SetModuleFileNameForTesting(m_dir / "velkor-tool");
        WriteConfig("");
    }
    void TearDown() override { platform::SetModuleFileNameForTesting(""); }

    // [HTTP_SERVER] with HttpURL and HttpRespWait plus `extra` lines of that section.
    void WriteConfig(const std::string& extra) {
        testutil::WriteFile(ConfigFile(),
                            "[HTTP_SERVER]\nHttpURL=http://127.0.0.1:9\n"
                            "HttpSSL=false\nHttpRespWait=50\n" +
                                extra);
    }
    std::string ConfigFile() const { return m_dir / "AppConfig.ini"; }
    std::string Path(const std::string& name) const { return m_dir / name; }

    testutil::TempDir m_dir;
};
