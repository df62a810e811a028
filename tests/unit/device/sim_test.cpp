// The simulated device itself: what it answers, what it journals, and its control program.
#include <gtest/gtest.h>

#include <cstdlib>

#include "device/function_library.h"
#include "sim_fixture.h"
#include "support/cipher.h"

namespace {

class SimDeviceTest : public SimTest {
protected:
    // Runs the control program with this test's folders; its exit status.
    int Cli(const std::string& args) {
        std::string cmd = std::string(SIM_CLI) + " " + args + " >" + StateDir() + "/cli.out 2>&1";
        return WEXITSTATUS(std::system(cmd.c_str()));
    }
    std::string CliOutput() { return testutil::ReadFile(StateDir() + "/cli.out"); }
};

}  // namespace

TEST_F(SimDeviceTest, OpensTheDeviceVariants) {
    ASSERT_TRUE(dll->LoadDll(SIM_LIBRARY));
    for (const char* name :
         {"QVX_USB_J2534", "QVX_USB_J2534_UDS_SIM", "QVX_WIFIAP_J2534", "QVX_WIFI_MQTT_J2534"}) {
        J2534_ULONG id = 0;
        EXPECT_EQ(dll->Open(name, &id), STATUS_NOERROR) << name;
        EXPECT_NE(id, 0u);
        EXPECT_EQ(dll->Close(id), STATUS_NOERROR);
    }
    J2534_ULONG id = 0, channel = 0;
    for (const char* name : {"QVX_USB_J2534_XXX", "qvx_usb_j2534", ""}) {
        J2534_LONG status = dll->Open(name, &id);
        EXPECT_NE(status, STATUS_NOERROR) << name;
        EXPECT_NE(status, ERR_NOT_SUPPORTED) << name;
    }
    EXPECT_EQ(dll->Connect(id, PROTOCOL_DEVICE_MGMT, 0, 0, &channel), ERR_INVALID_DEVICE_ID);
    SetFaults("unplugged=1\n");
    EXPECT_EQ(dll->Open("QVX_USB_J2534", &id), ERR_NOT_SUPPORTED);
    auto journal = Journal();
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(Text(journal.back(), "call"), "PassThruOpen");
    EXPECT_EQ(Text(journal.back(), "name"), "QVX_USB_J2534");
    EXPECT_EQ(journal.back().get("status"), "1");
}

TEST_F(SimDeviceTest, ChecksTheWifiMqttConnectionName) {
    SetFaults("mac=A0B1C2D3E4F5\n");
    ASSERT_TRUE(dll->LoadDll(SIM_LIBRARY));
    auto sealed = [](const std::string& plain, const std::string& key) {
        return Cipher::GetInstance()->EncryptText(plain, key.c_str());
    };
    const std::string mac = "A0B1C2D3E4F5";
    const std::string good = sealed("user.cfg;" + mac, mac);
    struct {
        std::string name;
        J2534_LONG status;
    } cases[] = {
        {"QVX_WIFI_MQTT_J2534-" + good + ";" + mac, STATUS_NOERROR},
        {"QVX_WIFI_MQTT_J2534-" + good + ";a0b1c2d3e4f5", ERR_FAILED},  // sealed under upper
        {"QVX_WIFI_MQTT_J2534-" + good + ";FFFFFFFFFFFF", ERR_FAILED},  // another device
        {"QVX_WIFI_MQTT_J2534-" + sealed("user.cfg;" + mac, "other") + ";" + mac, ERR_FAILED},
        {"QVX_WIFI_MQTT_J2534-" + sealed("no mac here", mac) + ";" + mac, ERR_FAILED},
        {"QVX_WIFI_MQTT_J2534-" + good, ERR_FAILED},
        {"QVX_WIFI_MQTT_J2534-;" + mac, ERR_FAILED},
        {"QVX_WIFI_MQTT_J2534_" + good + ";" + mac, ERR_INVALID_DEVICE_ID},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        J2534_ULONG id = 0;
        EXPECT_EQ(dll->Open(c.name.c_str(), &id), c.status);
        if (c.status == STATUS_NOERROR) {
            EXPECT_EQ(Text(Journal().back(), "variant"), "QVX_WIFI_MQTT_J2534");
            EXPECT_EQ(dll->Close(id), STATUS_NOERROR);
        }
    }
}

TEST_F(SimDeviceTest, OnlyTheManagementChannelAndItsCommands) {
    ASSERT_TRUE(dll->LoadDll(SIM_LIBRARY));
    ASSERT_EQ(dll->Open("QVX_USB_J2534", &m_deviceId), STATUS_NOERROR);
    J2534_ULONG channel = 0;
    EXPECT_EQ(dll->Connect(m_deviceId, 6 /* ISO15765 */, 0, 500000, &channel),
              ERR_INVALID_PROTOCOL_ID);
    ASSERT_EQ(dll->Connect(m_deviceId, PROTOCOL_DEVICE_MGMT, 0, 0, &channel), STATUS_NOERROR);
    char out[16] = {};
    EXPECT_EQ(dll->Ioctl(channel, 0x1234, nullptr, out), ERR_INVALID_IOCTL_ID);
    EXPECT_EQ(dll->Ioctl(channel + 1, IOCTL_READ_HW_INFO, nullptr, out), ERR_INVALID_CHANNEL_ID);
    EXPECT_EQ(dll->Ioctl(channel, IOCTL_SET_GATEWAY, nullptr, out), ERR_NULL_PARAMETER);
    EXPECT_EQ(dll->SendCommand(channel, IOCTL_SET_WIFI_SSID, 2,
                               reinterpret_cast<const unsigned char*>("ab")),
              STATUS_NOERROR);
    EXPECT_EQ(dll->Close(m_deviceId), STATUS_NOERROR);
    EXPECT_EQ(dll->SendCommand(channel, IOCTL_SET_WIFI_SSID, 2,
                               reinterpret_cast<const unsigned char*>("ab")),
              ERR_INVALID_CHANNEL_ID);
    m_deviceId = 0;
}

TEST_F(SimDeviceTest, TransferFaultsFailTheEnd) {
    J2534_ULONG channel = ConnectSim();
    const std::string block(1024, 'b');
    auto bytes = reinterpret_cast<const unsigned char*>(block.data());
    struct {
        const char* faults;
        int blocks;
        std::uint16_t last;
        bool accepted;
    } cases[] = {
        {"", 3, 10, true},
        {"refuse_end=1\n", 3, 10, false},
        {"refuse_blocks_after=2\n", 3, 10, false},  // the device missed a block
        {"refuse_blocks_after=4\n", 3, 10, true},   // four blocks in all
        {"", 0, 0, false},                          // an end without any block
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        SetFaults(c.faults);
        for (int i = 0; i < c.blocks; ++i) dll->SendFirmwareBlock(channel, 1024, bytes, false);
        if (c.blocks > 0) dll->SendFirmwareBlock(channel, c.last, bytes, false);
        EXPECT_EQ(dll->SendTransferEnd(channel, 0, nullptr), c.accepted);
    }
    // A short block in the middle, or blocks of both kinds, leave the image incomplete.
    SetFaults("");
    dll->SendFirmwareBlock(channel, 10, bytes, false);
    dll->SendFirmwareBlock(channel, 1024, bytes, false);
    EXPECT_FALSE(dll->SendTransferEnd(channel, 0, nullptr));
    dll->SendFirmwareBlock(channel, 1024, bytes, false);
    dll->SendFirmwareBlock(channel, 1024, bytes, true);
    EXPECT_FALSE(dll->SendTransferEnd(channel, 0, nullptr));
}

TEST_F(SimDeviceTest, SettingsAreKept) {
    J2534_ULONG channel = ConnectSim();
    const std::string ssid = "Bay 3";
    dll->SetWifiSsid(channel, 5, reinterpret_cast<const unsigned char*>(ssid.data()));
    dll->SetNetworkMode(channel, 0);
    ASSERT_EQ(Cli("settings"), 0);
    EXPECT_EQ(CliOutput(), "network_mode=000\nwifi_ssid=Bay 3\n");
}

TEST_F(SimDeviceTest, ControlProgramRegistersAndSetsFaults) {
    ASSERT_EQ(Cli("register --lib " SIM_LIBRARY), 0) << CliOutput();
    std::set<PassThruInfo> list;
    std::string path;
    ASSERT_TRUE(device::FindFunctionLibrary("QVX_USB_J2534", path, list));
    EXPECT_EQ(path, SIM_LIBRARY);
    ASSERT_EQ(Cli("fault unplugged 1"), 0);
    ASSERT_TRUE(dll->LoadDll(path));
    J2534_ULONG id = 0;
    EXPECT_EQ(dll->Open("QVX_USB_J2534", &id), ERR_NOT_SUPPORTED);
    ASSERT_EQ(Cli("fault unplugged"), 0);
    J2534_ULONG channel = ConnectSim();
    const std::string image = "image bytes";
    dll->SendFirmwareBlock(channel, 11, reinterpret_cast<const unsigned char*>(image.data()),
                           false);
    ASSERT_TRUE(dll->SendTransferEnd(channel, 0, nullptr));
    ASSERT_EQ(Cli("image " + StateDir() + "/out.bin"), 0);
    EXPECT_EQ(testutil::ReadFile(StateDir() + "/out.bin"), image);
    ASSERT_EQ(Cli("journal"), 0);
    EXPECT_NE(CliOutput().find("\"call\":\"PassThruConnect\""), std::string::npos);
    ASSERT_EQ(Cli("journal --clear"), 0);
    dll->SetNetworkMode(channel, 1);
    EXPECT_EQ(Journal().size(), 1u);  // the open journal goes on after clearing

    // A registration of another library is not replaced without --force.
    Register("QVX_USB_J2534", "{\"NAME\":\"QVX_USB_J2534\",\"FUNCTION_LIB\":\"/opt/real.so\"}");
    EXPECT_NE(Cli("register"), 0);
    EXPECT_NE(testutil::ReadFile(RegistryDir() + "/QVX_USB_J2534.json").find("/opt/real.so"),
              std::string::npos);
}

TEST_F(SimDeviceTest, UnusedEntryPointsAreResolvedAndRefuse) {
    ASSERT_TRUE(dll->LoadDll(SIM_LIBRARY));
    platform::DynamicLibrary lib;
    ASSERT_TRUE(lib.Load(SIM_LIBRARY));
    auto voltage =
        reinterpret_cast<PTSETPROGRAMMINGVOLTAGE>(lib.Symbol("PassThruSetProgrammingVoltage"));
    ASSERT_NE(voltage, nullptr);
    EXPECT_EQ(voltage(1, 15, 5000), ERR_NOT_SUPPORTED);
    auto lastError = reinterpret_cast<PTGETLASTERROR>(lib.Symbol("PassThruGetLastError"));
    char text[80] = {};
    EXPECT_EQ(lastError(text), STATUS_NOERROR);
    EXPECT_STRNE(text, "");
    EXPECT_EQ(lib.Symbol("Base64Encode"), nullptr);  // only the fourteen are exported
}
