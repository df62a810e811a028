#include <gtest/gtest.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <cstring>
#include <functional>
#include <sstream>

#include "device/payload.h"
#include "sim_fixture.h"
#include "support/base64.h"

namespace {

std::vector<std::string> PayloadsOf(const std::string& journal);

class CommandsTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        channel = ConnectSim();
    }
    std::vector<std::string> JournalPayloads() const {
        return PayloadsOf(testutil::ReadFile(StateDir() + "/journal"));
    }
    J2534_ULONG channel = 0;
};

const unsigned char* Bytes(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char b[3];
    for (unsigned char c : bytes) std::snprintf(b, sizeof b, "%02x", c), out += b;
    return out;
}

// What the simulated device decoded from each Ioctl's input, read from its journal with
// Boost's JSON reader: the "text" member when the payload was printable, else "bytes" (hex).
std::vector<std::string> PayloadsOf(const std::string& journal) {
    std::vector<std::string> out;
    std::istringstream lines(journal);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        boost::property_tree::ptree entry;
        boost::property_tree::read_json(in, entry);
        if (entry.get<std::string>("call") != "PassThruIoctl") continue;
        if (auto text = entry.get_optional<std::string>("text")) {
            out.push_back(*text);
            continue;
        }
        const std::string hex = entry.get<std::string>("bytes", "");
        std::string bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        out.push_back(bytes);
    }
    return out;
}

bool AllZero(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}

}  // namespace

TEST(Payload, InputBlocksHoldTheTextInZeroFill) {
    std::string block1024(1024, '\xA5');
    struct {
        std::uint16_t count;
        std::size_t size, chars;
    } cases[] = {{0, 1, 0}, {1, 200, 4}, {3, 600, 4}, {1024, 204800, 1368}};
    for (const auto& c : cases) {
        std::vector<char> b = device::MakeInputBlock(c.count, Bytes(block1024));
        EXPECT_EQ(b.size(), c.size) << c.count;
        EXPECT_EQ(std::strlen(b.data()), c.chars) << c.count;
        EXPECT_EQ(Base64Decode(b.data()), block1024.substr(0, c.count));
        EXPECT_TRUE(AllZero(b.data() + c.chars, b.size() - c.chars));
    }
}

TEST_F(CommandsTest, EachCommandSendsItsIdAndPayload) {
    using Send = std::function<J2534_LONG(const std::string&)>;
    CPassThruDll* d = dll;
    J2534_ULONG ch = channel;
    auto text = [&](auto method) {
        return Send([=](const std::string& s) {
            return (d->*method)(ch, static_cast<std::uint16_t>(s.size()), Bytes(s));
        });
    };
    auto command = [&](J2534_ULONG id) {
        return Send([=](const std::string& s) {
            return d->SendCommand(ch, id, static_cast<std::uint16_t>(s.size()), Bytes(s));
        });
    };
    // `sent` is what the method is given; `payload` what must reach the device.
    struct {
        Send send;
        std::string sent;
        J2534_ULONG id;
        const char* setting;
        std::string payload;
    } cases[] = {
        {text(&CPassThruDll::SetWifiSsid), "Werkstatt S\xC3\xBC\x64", IOCTL_SET_WIFI_SSID,
         "wifi_ssid", "Werkstatt S\xC3\xBC\x64"},
        {text(&CPassThruDll::SetWifiPassword), "p\"w;d\\ \t%s", IOCTL_SET_WIFI_PASSWORD,
         "wifi_password", "p\"w;d\\ \t%s"},
        {text(&CPassThruDll::SetLocalIp), "192.168.1.80", IOCTL_SET_LOCAL_IP, "local_ip",
         "192.168.1.80"},
        {text(&CPassThruDll::SetGateway), "192.168.1.1", IOCTL_SET_GATEWAY, "gateway",
         "192.168.1.1"},
        {text(&CPassThruDll::SetSubnetMask), "255.255.255.0", IOCTL_SET_SUBNET, "subnet",
         "255.255.255.0"},
        {[=](const std::string&) { return d->SetNetworkMode(ch, 3); }, "", IOCTL_SET_NETWORK_MODE,
         "network_mode", "003"},
        {command(IOCTL_SET_MQTT_SERVER), "192.168.1.101", IOCTL_SET_MQTT_SERVER, "mqtt_server",
         "192.168.1.101"},
        {command(IOCTL_SET_MQTT_PORT), "1883", IOCTL_SET_MQTT_PORT, "mqtt_port", "1883"},
        {command(IOCTL_SET_MQTT_USER), "", IOCTL_SET_MQTT_USER, "mqtt_user", ""},
        {command(IOCTL_SET_MQTT_PASSWORD), std::string("vi\0mera", 7), IOCTL_SET_MQTT_PASSWORD,
         "mqtt_password", std::string("vi\0mera", 7)},
    };
    for (const auto& c : cases) EXPECT_EQ(c.send(c.sent), STATUS_NOERROR) << c.setting;
    auto ioctls = Ioctls();
    auto payloads = JournalPayloads();
    ASSERT_EQ(ioctls.size(), std::size(cases));
    ASSERT_EQ(payloads.size(), std::size(cases));
    for (std::size_t i = 0; i < ioctls.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.setting);
        EXPECT_EQ(ioctls[i].get("channel"), std::to_string(channel));
        EXPECT_EQ(ioctls[i].get("ioctl"), std::to_string(c.id));
        EXPECT_EQ(Text(ioctls[i], "command"), c.setting);
        EXPECT_EQ(ioctls[i].get("length"), std::to_string(c.payload.size()));
        EXPECT_EQ(Text(ioctls[i], "input_chars"), std::to_string((c.payload.size() + 2) / 3 * 4));
        EXPECT_EQ(Hex(payloads[i]), Hex(c.payload));
    }
}

TEST_F(CommandsTest, FirmwareBlocksAndTransferEnd) {
    std::string image(2500, '\0');
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + 1);
    for (std::size_t at = 0; at < image.size(); at += 1024) {
        std::string block = image.substr(at, 1024);
        dll->SendFirmwareBlock(channel, static_cast<std::uint16_t>(block.size()), Bytes(block),
                               true);
    }
    EXPECT_TRUE(dll->SendTransferEnd(channel, 0, nullptr));
    EXPECT_EQ(testutil::ReadFile(StateDir() + "/image.bin"), image);
    auto ioctls = Ioctls();
    ASSERT_EQ(ioctls.size(), 4u);
    EXPECT_EQ(ioctls[0].get("ioctl"), std::to_string(IOCTL_FW_BLOCK_V2));
    EXPECT_EQ(ioctls[0].get("input_chars"), "1368");
    EXPECT_EQ(ioctls[0].get("length"), "1024");
    EXPECT_EQ(Text(ioctls[0], "bytes"), Hex(image.substr(0, 1024)));
    EXPECT_EQ(ioctls[2].get("length"), "452");
    EXPECT_EQ(ioctls[3].get("ioctl"), std::to_string(IOCTL_FW_TRANSFER_END));
    EXPECT_EQ(ioctls[3].get("input_chars"), "0");
    EXPECT_EQ(ioctls[3].get("status"), "0");

    dll->SendFirmwareBlock(channel, 0, nullptr, false);  // an empty image: one empty block
    EXPECT_TRUE(dll->SendTransferEnd(channel, 0, nullptr));
    EXPECT_EQ(Ioctls()[4].get("ioctl"), std::to_string(IOCTL_FW_BLOCK));
    EXPECT_EQ(testutil::ReadFile(StateDir() + "/image.bin"), "");
}

TEST_F(CommandsTest, HardwareInformation) {
    char buffer[kHwInfoBufferSize] = {};
    ASSERT_EQ(dll->ReadHardwareInfo(channel, buffer), STATUS_NOERROR);
    json::jobject info = json::jobject::parse(buffer);
    EXPECT_EQ(Text(info, "mcu_info"), "ESP32-S3,rev 0.2");
    EXPECT_EQ(Text(info, "version"), "2.1.0");
    EXPECT_EQ(Text(info, kHwInfoDeviceIdMember).substr(0, 13), "A0B1C2D3E4F5_");
}

TEST_F(CommandsTest, HardwareInformationFitsTheBufferOrIsRefused) {
    struct {
        const char* faults;
        J2534_LONG status;
        std::size_t length;  // of the document in the buffer; 0 leaves it all zeros
    } cases[] = {
        {"hw_info_size=4095\n", STATUS_NOERROR, 4095},
        {"hw_info_size=4096\n", ERR_BUFFER_OVERFLOW, 0},
        {"hw_info_size=100000\n", ERR_BUFFER_OVERFLOW, 0},
        {"hw_info_reply=\n", STATUS_NOERROR, 0},
        {"hw_info_reply==QUJD\n", STATUS_NOERROR, 0},
        {"hw_info_reply=QUJD\n", STATUS_NOERROR, 3},
        {"unplugged=1\n", ERR_DEVICE_NOT_CONNECTED, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        SetFaults(c.faults);
        // One guard byte beyond the buffer: nothing may be written there.
        std::vector<char> buffer(kHwInfoBufferSize + 1, '\0');
        buffer.back() = '#';
        EXPECT_EQ(dll->ReadHardwareInfo(channel, buffer.data()), c.status);
        EXPECT_EQ(buffer.back(), '#');
        EXPECT_EQ(std::strlen(buffer.data()), c.length);
        EXPECT_TRUE(AllZero(buffer.data() + c.length, kHwInfoBufferSize - c.length));
        if (c.length == 4095) {
            EXPECT_NO_THROW(json::jobject::parse(buffer.data()));
        }
    }
}
