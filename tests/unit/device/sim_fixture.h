// A test with its own registry store and simulated-device state folder, and the loaded
// simulated device released afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/passthru_dll.h"
#include "net/json.h"
#include "temp_dir.h"

class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string RegistryDir() const { return m_dir / "passthru"; }
    std::string StateDir() const { return m_dir / "state"; }

    // Writes RegistryDir()/<file>.json.
    void Register(const std::string& file, const std::string& json);
    // Writes the simulated device's fault lines.
    void SetFaults(const std::string& lines);
    // Loads the simulated device, opens it under `name` and connects the management channel.
    J2534_ULONG ConnectSim(const char* name = "QVX_USB_J2534");
    // The journal, one object per call.
    std::vector<json::jobject> Journal() const;
    // The journal entries of Ioctl calls.
    std::vector<json::jobject> Ioctls() const;

    CPassThruDll* dll = CPassThruDll::GetInstance();
    J2534_ULONG m_deviceId = 0;

private:
    testutil::TempDir m_dir;
    std::string m_home;
};

// Text of a journal string member without its quotes.
std::string Text(const json::jobject& o, const std::string& key);
