// The network settings against the simulated device's settings and journal and the registry
// store of the test's own.
#include "provision/network_settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>

#include "platform/registry.h"
#include "sim_fixture.h"
#include "sim_state.h"

using provision::NetworkFields;
using provision::NetworkMode;

namespace {

constexpr const char* kAllKeys[] = {"QVX_USB_J2534", "QVX_WIFI_AP_J2534_CAN0",
                                    "QVX_WIFI_AP_J2534_CAN1", "QVX_WIFI_MQTT_J2534_CAN0",
                                    "QVX_WIFI_MQTT_J2534_CAN1"};

class NetworkSettings : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        for (const char* name : kAllKeys)
            Register(name, std::string("{\"NAME\":\"") + name +
                               "\",\"VENDOR\":\"v\",\"FUNCTION_LIB\":\"" SIM_LIBRARY "\"}");
        m_channel = ConnectSim();
        m_prompts.alert = [this](const std::string& t) { alerts.push_back(t); };
        m_prompts.ask = [this](const std::string& t) {
            questions.push_back(t);
            bool yes = !answers.empty() && answers.front();
            if (!answers.empty()) answers.pop_front();
            return yes;
        };
    }

    static NetworkFields Fields() {
        NetworkFields f;
        f.ssid = "Workshop";
        f.password = "secret";
        f.localIp = "10.0.0.7";
        f.gateway = "10.0.0.1";
        f.subnet = "255.255.255.0";
        f.mac = "A0B1C2D3E4F5";
        f.mqttServer = "192.168.1.101";
        f.mqttPort = "1883";
        f.mqttUser = "root";
        f.mqttPassword = "vimera";
        return f;
    }

    provision::SaveOutcome Save(NetworkMode mode, const NetworkFields& f) {
        return provision::SaveNetworkSettings(mode, f, m_channel, *dll, m_prompts);
    }

    // "command=text" of every setting command the device got, in order.
    std::vector<std::string> Sent() const {
        std::vector<std::string> sent;
        for (const auto& o : Ioctls())
            if (Text(o, "command") != "read_hw_info")
                sent.push_back(Text(o, "command") + "=" + Text(o, "text") +
                               (Text(o, "status") == "0" ? "" : " refused"));
        return sent;
    }

    // A registry value as text, "-" when absent.
    static std::string Value(const char* key, const char* name) {
        auto k = platform::RegistryKey::Open(
            std::string("SOFTWARE\\WOW6432Node\\PassThruSupport.04.04\\") + key);
        std::string v;
        return k && k->QueryString(name, v) ? v : "-";
    }
    static std::vector<std::string> Values(const char* name) {
        std::vector<std::string> values;
        for (const char* key : kAllKeys) values.push_back(Value(key, name));
        return values;
    }

    J2534_ULONG m_channel = 0;
    provision::Prompts m_prompts;
    std::deque<bool> answers;
    std::vector<std::string> alerts, questions;
};

TEST_F(NetworkSettings, StaticIpWithoutGatewayOrSubnetRecordsTheAddress) {
    NetworkFields f = Fields();
    f.gateway.clear();
    f.subnet.clear();
    answers = {true};
    auto out = Save(NetworkMode::kStaticIp, f);
    EXPECT_TRUE(out.saved);
    EXPECT_EQ(out.hexIp, "0A000007");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"wifi_ssid=Workshop", "wifi_password=secret",
                                                "local_ip=10.0.0.7", "network_mode=000"}));
    EXPECT_EQ(questions,
              std::vector<std::string>{
                  "Do you want to connect device with external wifi access point mode?"});
    // 0x0A000007 to the access point keys and the USB key, no other.
    EXPECT_EQ(Values("SSDP"),
              (std::vector<std::string>{"167772167", "167772167", "167772167", "-", "-"}));
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(sim::ReadSettings(StateDir())["local_ip"], "10.0.0.7");
}

TEST_F(NetworkSettings, AnsweringNoLeavesTheModeAndTheRegistryAlone) {
    auto out = Save(NetworkMode::kStaticIp, Fields());
    EXPECT_FALSE(out.saved);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"wifi_ssid=Workshop", "wifi_password=secret",
                                                "local_ip=10.0.0.7", "gateway=10.0.0.1",
                                                "subnet=255.255.255.0"}));
    EXPECT_EQ(Values("SSDP"), std::vector<std::string>(5, "-"));
}

// Fields are checked before anything is sent.
TEST_F(NetworkSettings, MissingOrInvalidFieldsSendNothing) {
    struct Case {
        NetworkMode mode;
        void (*change)(NetworkFields&);
        std::string alert;
    } cases[] = {
        {NetworkMode::kStaticIp, [](NetworkFields& f) { f.ssid.clear(); },
         "Please provide Wifi SSID"},
        {NetworkMode::kWifiMqtt, [](NetworkFields& f) { f.ssid.clear(); },
         "Please provide Wifi SSID"},
        {NetworkMode::kWifiMqtt, [](NetworkFields& f) { f.password.clear(); },
         "Please provide Wifi Password"},
        {NetworkMode::kStaticIp, [](NetworkFields& f) { f.password.clear(); },
         "Please provide Wifi Password"},
        {NetworkMode::kStaticIp, [](NetworkFields& f) { f.localIp = "10.0.0.256"; },
         "Local IP \"10.0.0.256\" is not a valid IPv4 address."},
        {NetworkMode::kStaticIp, [](NetworkFields& f) { f.localIp = "10.0.0.7.1"; },
         "Local IP \"10.0.0.7.1\" is not a valid IPv4 address."},
        {NetworkMode::kStaticIp, [](NetworkFields& f) { f.localIp = "192.168.100.100 "; },
         "Local IP \"192.168.100.100 \" is not a valid IPv4 address."},
        {NetworkMode::kStaticIp, [](NetworkFields& f) { f.localIp.clear(); },
         "Local IP \"\" is not a valid IPv4 address."},
        {NetworkMode::kStaticIp, [](NetworkFields& f) { f.gateway = "10.0.0"; },
         "GateWay \"10.0.0\" is not a valid IPv4 address."},
        {NetworkMode::kStaticIp, [](NetworkFields& f) { f.subnet = "255.255.255.x"; },
         "Subnet \"255.255.255.x\" is not a valid IPv4 address."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alert);
        alerts.clear();
        NetworkFields f = Fields();
        c.change(f);
        answers = {true};
        EXPECT_FALSE(Save(c.mode, f).saved);
        EXPECT_EQ(alerts, std::vector<std::string>{c.alert});
        EXPECT_TRUE(questions.empty());
    }
    EXPECT_TRUE(Sent().empty());
}

TEST_F(NetworkSettings, ARefusedCommandIsNamedAndEndsTheSave) {
    struct Case {
        const char* refused;
        std::size_t sent;  // commands that reached the device, the refused one included
        std::string alert;
    } cases[] = {
        {"local_ip", 3, "The device refused the local IP (status 7). Nothing more was sent."},
        {"network_mode", 6,
         "The device refused the network mode (status 7). Nothing more was sent."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused);
        SetFaults(std::string("refuse_setting=") + c.refused + "\n");
        ::truncate((StateDir() + "/journal").c_str(), 0);
        alerts.clear();
        answers = {true};
        EXPECT_FALSE(Save(NetworkMode::kStaticIp, Fields()).saved);
        EXPECT_EQ(alerts, std::vector<std::string>{c.alert});
        ASSERT_EQ(Sent().size(), c.sent);
        EXPECT_EQ(Sent().back(), std::string(c.refused) + "=" +
                                     (c.refused == std::string("local_ip") ? "10.0.0.7" : "000") +
                                     " refused");
    }
    EXPECT_EQ(Values("SSDP"), std::vector<std::string>(5, "-"));
}

// The simulator opens the recorded text as the Wi-Fi/MQTT variant does.
TEST_F(NetworkSettings, MqttModesSendTheirSettingsAndRecordTheSealedText) {
    struct Case {
        NetworkMode mode;
        std::vector<std::string> sent;
    } cases[] = {
        {NetworkMode::kWifiMqtt,
         {"wifi_ssid=Workshop", "wifi_password=secret", "network_mode=003",
          "mqtt_server=192.168.1.101", "mqtt_port=1883", "mqtt_user=root", "mqtt_password=vimera"}},
        {NetworkMode::kLte,
         {"network_mode=002", "mqtt_server=192.168.1.101", "mqtt_port=1883", "mqtt_user=root",
          "mqtt_password=vimera"}},
    };
    for (const Case& c : cases) {
        ::truncate((StateDir() + "/journal").c_str(), 0);
        answers = {true};
        auto out = Save(c.mode, Fields());
        EXPECT_TRUE(out.saved);
        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(Values("MQTT"), (std::vector<std::string>{out.mqttConfig, "-", "-",
                                                            out.mqttConfig, out.mqttConfig}));
        std::string command = std::string("PASSTHRU_DIR='") + RegistryDir() + "' " SIM_CLI " mqtt";
        FILE* p = popen(command.c_str(), "r");
        char line[256] = {};
        ASSERT_NE(std::fgets(line, sizeof line, p), nullptr);
        pclose(p);
        EXPECT_EQ(std::string(line), "192.168.1.101:1883;root;vimera;A0B1C2D3E4F5\n");
        EXPECT_EQ(provision::StoredMqttConfig(), out.mqttConfig);
    }
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(Values("SSDP"), std::vector<std::string>(5, "-"));
}

TEST_F(NetworkSettings, AccessPointModeRecordsItsFixedAddress) {
    answers = {true};
    EXPECT_TRUE(Save(NetworkMode::kWifiAp, Fields()).saved);
    EXPECT_EQ(Sent(), std::vector<std::string>{"network_mode=001"});
    EXPECT_EQ(Values("SSDP"),  // 0xC0A81401
              (std::vector<std::string>{"3232240641", "3232240641", "3232240641", "-", "-"}));
}

TEST_F(NetworkSettings, MqttUpdateAndTheStoredText) {
    EXPECT_EQ(provision::StoredMqttConfig(), "None");
    EXPECT_FALSE(provision::RecordMqttConfig("", m_prompts));
    EXPECT_FALSE(provision::RecordMqttConfig("None", m_prompts));
    EXPECT_EQ(Values("MQTT"), std::vector<std::string>(5, "-"));
    EXPECT_TRUE(provision::RecordMqttConfig("sealed;A0B1C2D3E4F5", m_prompts));
    EXPECT_EQ(provision::StoredMqttConfig(), "sealed;A0B1C2D3E4F5");
    EXPECT_TRUE(alerts.empty());

    for (const char* key : kAllKeys) std::remove((RegistryDir() + "/" + key + ".json").c_str());
    EXPECT_FALSE(provision::RecordMqttConfig("sealed;A0B1C2D3E4F5", m_prompts));
    EXPECT_EQ(alerts, std::vector<std::string>{"\"MQTT\" was recorded nowhere: no J2534 "
                                               "registration of the device is installed."});
}

TEST(Ipv4Number, AsTheLibrariesStoreIt) {
    struct Case {
        const char* text;
        std::uint32_t number;
    } cases[] = {
        {"192.168.1.80", 0xC0A80150},
        {"192.168.20.1", 0xC0A81401},
        {"10.0.0.7", 0x0A000007},
        {"10.1", 0x0A01},
        {"..10..1.", 0x0A01},
        {"1.2.3.300", 0x0102032C},
        {"1.2.3.4.5", 0x01020304},
        {"a.b", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(provision::Ipv4Number(c.text), c.number);
    }
    EXPECT_EQ(provision::HexIp("192.168.1.80"), "C0A80150");
}

TEST(NetworkType, OnlyTheFourTexts) {
    EXPECT_EQ(provision::ModeOfNetworkType("Wifi AP mode"), NetworkMode::kWifiAp);
    EXPECT_EQ(provision::ModeOfNetworkType("Exten Wifi AP(Static IP)"), NetworkMode::kStaticIp);
    EXPECT_EQ(provision::ModeOfNetworkType("Exten Wifi AP(Mqtt)"), NetworkMode::kWifiMqtt);
    EXPECT_EQ(provision::ModeOfNetworkType("LTE 4G(Mqtt)"), NetworkMode::kLte);
    EXPECT_EQ(provision::ModeOfNetworkType("wifi ap mode"), std::nullopt);
    EXPECT_EQ(provision::ModeOfNetworkType(""), std::nullopt);
}

}  // namespace
