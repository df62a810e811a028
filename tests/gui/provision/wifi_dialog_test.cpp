// The network settings dialog against the simulated device and a registry store of the
// test's own, and its opener on the main window.
#include "gui_fixture.h"  // first: gtest must precede the X11 macros

#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Secret_Input.H>

#include <cstdlib>
#include <filesystem>

#include "app/app_texts.h"
#include "app/velkor_esp32_gui.h"
#include "app/wifi_info_fltk.h"
#include "device/passthru_dll.h"
#include "platform/registry.h"
#include "sim_state.h"

namespace fs = std::filesystem;
using testutil::GuiFixture;

namespace {

constexpr const char* kKeys[] = {"QVX_USB_J2534", "QVX_WIFI_AP_J2534_CAN0",
                                 "QVX_WIFI_AP_J2534_CAN1", "QVX_WIFI_MQTT_J2534_CAN0",
                                 "QVX_WIFI_MQTT_J2534_CAN1"};

class WifiDialog : public GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        fs::create_directory(m_store.path() + "/passthru");
        fs::create_directory(m_store.path() + "/state");
        setenv("PASSTHRU_DIR", (m_store / "passthru").c_str(), 1);
        setenv("PASSTHRU_SIM_STATE", (m_store / "state").c_str(), 1);
        for (const char* name : kKeys)
            testutil::WriteFile(m_store / "passthru/" + name + ".json",
                                std::string("{\"NAME\":\"") + name + "\",\"FUNCTION_LIB\":\"" +
                                    SIM_LIBRARY + "\"}");
        CPassThruDll* dll = CPassThruDll::GetInstance();
        ASSERT_TRUE(dll->LoadDll(SIM_LIBRARY));
        ASSERT_EQ(dll->Open("QVX_USB_J2534", &m_device), STATUS_NOERROR);
        ASSERT_EQ(dll->Connect(m_device, PROTOCOL_DEVICE_MGMT, 0, 0, &m_channel), STATUS_NOERROR);
    }
    void TearDown() override {
        CPassThruDll::GetInstance()->Close(m_device);
        CPassThruDll::GetInstance()->FreeDll();
        unsetenv("PASSTHRU_DIR");
        unsetenv("PASSTHRU_SIM_STATE");
        GuiFixture::TearDown();
    }
    std::unique_ptr<CWifiInfoFLTK> Open() {
        const std::string title = app::WifiSettingsTitle();
        auto d =
            std::make_unique<CWifiInfoFLTK>(550, 250, title.c_str(), m_channel, "A0B1C2D3E4F5");
        Pump();
        return d;
    }
    static void Choose(CWifiInfoFLTK& d, const char* type) {
        d.m_NetworkType->value(type);
        d.m_NetworkType->do_callback();
        Pump(0.05);
    }
    static std::string Value(const char* key, const char* name) {
        auto k = platform::RegistryKey::Open(
            std::string("SOFTWARE\\WOW6432Node\\PassThruSupport.04.04\\") + key);
        std::string v;
        return k && k->QueryString(name, v) ? v : "-";
    }
    std::map<std::string, std::string> DeviceSettings() const {
        return sim::ReadSettings(m_store / "state");
    }

    testutil::TempDir m_store;
    J2534_ULONG m_device = 0, m_channel = 0;
};

std::vector<std::string> Visible(const CWifiInfoFLTK& d) {
    std::vector<std::string> labels;
    for (int i = 0; i < d.children(); ++i)
        if (d.child(i)->visible() && d.child(i)->label()) labels.push_back(d.child(i)->label());
    return labels;
}

TEST_F(WifiDialog, EachNetworkTypeShowsItsWidgets) {
    auto d = Open();
    EXPECT_TRUE(d->modal());
    EXPECT_EQ(Visible(*d), (std::vector<std::string>{"NetworkType", "Save", "Exit"}));
    EXPECT_STREQ(d->m_NetworkType->value(), "Wifi AP mode");
    EXPECT_STREQ(d->m_HexIp->value(), "C0A80150");
    EXPECT_STREQ(d->m_MqttConfig->value(), "None");
    EXPECT_STREQ(d->m_MacField->value(), "A0B1C2D3E4F5");
    SaveScreenshot(*d, "wifi_dialog_opened.png");

    struct Case {
        const char* type;
        std::vector<std::string> visible;
        const char* screenshot;
    } cases[] = {
        {"Exten Wifi AP(Static IP)",
         {"NetworkType", "SSID", "Password", "Do you want to set static IP ?", "Local IP",
          "HEX IP:", "GateWay", "Subnet", "Save", "Exit"},
         "wifi_dialog_static_ip.png"},
        {"Exten Wifi AP(Mqtt)",
         {"NetworkType", "SSID", "Password", "Mqtt Update", "Save", "Exit", "Device MAC",
          "Mqtt server", "Port", "User", "MQTT Cfg:", "Password"},
         "wifi_dialog_wifi_mqtt.png"},
        {"LTE 4G(Mqtt)",
         {"NetworkType", "Mqtt Update", "Save", "Exit", "Device MAC", "Mqtt server", "Port", "User",
          "MQTT Cfg:", "Password"},
         "wifi_dialog_lte_mqtt.png"},
        {"typed by hand", {}, nullptr},  // changes nothing
        {"Wifi AP mode", {"NetworkType", "Save", "Exit"}, "wifi_dialog_access_point.png"},
    };
    std::vector<std::string> before;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Choose(*d, c.type);
        EXPECT_EQ(Visible(*d), c.screenshot ? c.visible : before);
        if (c.screenshot) SaveScreenshot(*d, c.screenshot);
        before = Visible(*d);
    }
}

TEST_F(WifiDialog, SaveStaticIpSendsAndRecordsTheAddress) {
    auto d = Open();
    Choose(*d, "Exten Wifi AP(Static IP)");
    d->m_Ssid->value("Workshop");
    d->m_WifiPassword->value("secret");
    d->m_LocalIp->value("10.0.0.7");
    d->m_Gateway->value("");
    d->m_Subnet->value("");
    m_dialogs.answers = {true};
    d->m_SaveButton->do_callback();
    EXPECT_TRUE(m_dialogs.alerts.empty());
    EXPECT_STREQ(d->m_HexIp->value(), "0A000007");
    EXPECT_EQ(Value("QVX_WIFI_AP_J2534_CAN0", "SSDP"), "167772167");
    EXPECT_EQ(Value("QVX_USB_J2534", "SSDP"), "167772167");
    auto settings = DeviceSettings();
    EXPECT_EQ(settings["local_ip"], "10.0.0.7");
    EXPECT_EQ(settings["network_mode"], "000");
    EXPECT_EQ(settings.count("gateway"), 0u);
}

TEST_F(WifiDialog, AnInvalidAddressIsRefusedBeforeAnythingIsSent) {
    auto d = Open();
    Choose(*d, "Exten Wifi AP(Static IP)");
    d->m_Ssid->value("Workshop");
    d->m_WifiPassword->value("secret");
    d->m_LocalIp->value("10.0.0.300");
    d->m_SaveButton->do_callback();
    EXPECT_EQ(m_dialogs.alerts,
              std::vector<std::string>{"Local IP \"10.0.0.300\" is not a valid IPv4 address."});
    EXPECT_TRUE(m_dialogs.questions.empty());
    EXPECT_TRUE(DeviceSettings().empty());
}

// The simulator opens the recorded MQTT text as the Wi-Fi/MQTT variant does.
TEST_F(WifiDialog, SaveWifiMqttShowsAndRecordsTheSealedText) {
    auto d = Open();
    Choose(*d, "Exten Wifi AP(Mqtt)");
    d->m_Ssid->value("Workshop");
    d->m_WifiPassword->value("secret");
    m_dialogs.answers = {true};
    d->m_SaveButton->do_callback();
    const std::string shown = d->m_MqttConfig->value();
    EXPECT_EQ(Value("QVX_USB_J2534", "MQTT"), shown);
    EXPECT_EQ(Value("QVX_WIFI_MQTT_J2534_CAN1", "MQTT"), shown);
    std::string plain;
    EXPECT_TRUE(sim::OpenMqttConfig(shown, plain));
    EXPECT_EQ(plain, "192.168.1.101:1883;root;vimera;A0B1C2D3E4F5");
    EXPECT_EQ(DeviceSettings()["network_mode"], "003");

    // Mqtt Update records what the field holds, with no question and no command.
    d->m_MqttConfig->value("edited;A0B1C2D3E4F5");
    d->m_MqttUpdateButton->do_callback();
    EXPECT_EQ(Value("QVX_WIFI_MQTT_J2534_CAN0", "MQTT"), "edited;A0B1C2D3E4F5");
    EXPECT_EQ(m_dialogs.questions.size(), 1u);
}

TEST_F(WifiDialog, ExitAsksTheMainWindowsQuestion) {
    auto d = Open();
    m_dialogs.answers = {false, true};
    d->m_ExitButton->do_callback();
    EXPECT_TRUE(d->shown());
    d->m_ExitButton->do_callback();
    EXPECT_FALSE(d->shown());
    ASSERT_EQ(m_dialogs.questions.size(), 2u);
    EXPECT_EQ(m_dialogs.questions[0].rfind("Do you really want to exit?", 0), 0u);
}

TEST_F(WifiDialog, TheOpenerNeedsAConnectionAndAWritableStore) {
    CVelkor_ESP32_GUI& g = MakeWindow();
    g.OnWifi();  // not connected
    EXPECT_EQ(m_dialogs.alerts,
              std::vector<std::string>{"Please connect with device thrught USB port."});

    g.m_bConnected = true;
    g.m_ChannelId = m_channel;
    g.m_DeviceMac = "A0B1C2D3E4F5";
    setenv("PASSTHRU_DIR", (m_store / "missing").c_str(), 1);
    g.OnWifi();
    ASSERT_EQ(m_dialogs.alerts.size(), 2u);
    EXPECT_NE(m_dialogs.alerts[1].find("cannot be changed by this user"), std::string::npos);

    setenv("PASSTHRU_DIR", (m_store / "passthru").c_str(), 1);
    // The dialog lives only inside OnWifi's loop: a timer step looks at it and closes it.
    static std::string title;
    static J2534_ULONG channel;
    title.clear();
    channel = 0;
    Fl::add_timeout(0.3, [](void*) {
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
            if (auto* d = dynamic_cast<CWifiInfoFLTK*>(w)) {
                title = d->label();
                channel = d->m_ChannelId;
                d->hide();
                break;
            }
        }
    });
    g.OnWifi();
    EXPECT_EQ(title.rfind("Update Wifi Setting(Ver:1.002,Date:", 0), 0u) << title;
    EXPECT_EQ(channel, m_channel);
    EXPECT_EQ(m_dialogs.alerts.size(), 2u);
}

}  // namespace
