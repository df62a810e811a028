#include "app/wifi_info_fltk.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Int_Input.H>
#include <FL/Fl_Secret_Input.H>
#include <FL/x.H>

#include <algorithm>

#include "app/app_texts.h"
#include "app/dialogs.h"
#include "config/fltf_db_util.h"
#include "device/passthru_dll.h"
#include "platform/window.h"
#include "provision/network_settings.h"

namespace {

template <void (CWifiInfoFLTK::*Method)()>
void Forward(Fl_Widget*, void* dialog) {
    (static_cast<CWifiInfoFLTK*>(dialog)->*Method)();
}

template <typename Input>
Input* Field(int x, int y, int w, int h, const char* label, const char* value) {
    auto* input = new Input(x, y, w, h, label);
    input->value(value);
    return input;
}

provision::Prompts DialogPrompts() {
    return {[](const std::string& text) { dialogs::Alert(text); },
            [](const std::string& text) { return dialogs::Ask(text); }};
}

}  // namespace

CWifiInfoFLTK::CWifiInfoFLTK(int w, int h, const char* title, std::uint32_t channelId,
                             const std::string& deviceMac)
    : Fl_Window(w, h), m_ChannelId(channelId), m_DeviceMac(deviceMac) {
    copy_label(title);
    m_NetworkType = new Fl_Input_Choice(100, 10, 250, 30, "NetworkType");
    for (const char* type : provision::kNetworkTypes) m_NetworkType->add(type);
    m_NetworkType->value(0);
    m_NetworkType->callback(Forward<&CWifiInfoFLTK::OnNetworkType>, this);
    m_Ssid = Field<Fl_Input>(50, 45, 200, 30, "SSID", "SSID");
    m_WifiPassword = Field<Fl_Secret_Input>(350, 45, 160, 30, "Password", "Password");
    m_StaticIpBox = new Fl_Check_Button(100, 80, 150, 30, "Do you want to set static IP ?");
    m_StaticIpBox->value(1);
    m_LocalIp = Field<Fl_Input>(100, 120, 150, 30, "Local IP", "192.168.1.80");
    m_HexIp =
        Field<Fl_Input>(320, 120, 100, 30, "HEX IP:", provision::HexIp("192.168.1.80").c_str());
    m_Gateway = Field<Fl_Input>(100, 160, 150, 30, "GateWay", "192.168.1.1");
    m_Subnet = Field<Fl_Input>(100, 200, 150, 30, "Subnet", "255.255.255.0");
    m_MqttUpdateButton = new Fl_Button(270, 200, 100, 30, "Mqtt Update");
    m_MqttUpdateButton->callback(Forward<&CWifiInfoFLTK::OnMqttUpdate>, this);
    m_SaveButton = new Fl_Button(400, 200, 60, 30, "Save");
    m_SaveButton->callback(Forward<&CWifiInfoFLTK::OnSave>, this);
    m_ExitButton = new Fl_Button(480, 200, 60, 30, "Exit");
    m_ExitButton->callback(Forward<&CWifiInfoFLTK::OnExit>, this);
    m_MacField = Field<Fl_Input>(100, 80, 150, 30, "Device MAC", deviceMac.c_str());
    m_MqttServer = Field<Fl_Input>(80, 120, 330, 30, "Mqtt server", "192.168.1.101");
    m_MqttPort = Field<Fl_Int_Input>(460, 120, 60, 30, "Port", "1883");
    m_MqttUser = Field<Fl_Input>(80, 160, 100, 30, "User", "root");
    m_MqttConfig =
        Field<Fl_Input>(260, 160, 250, 30, "MQTT Cfg:", provision::StoredMqttConfig().c_str());
    m_MqttPassword = Field<Fl_Secret_Input>(80, 200, 150, 30, "Password", "vimera");
    end();
    ShowOnly({});
    set_modal();
    show();
    m_Hwnd = fl_xid(this);
    platform::KeepFromMaximising(fl_display, m_Hwnd, this->w(), this->h());
}

CWifiInfoFLTK::~CWifiInfoFLTK() = default;

// Every mode widget not in `shown` is hidden; the network type, Save and Exit always show.
void CWifiInfoFLTK::ShowOnly(const std::vector<Fl_Widget*>& shown) {
    const std::vector<Fl_Widget*> all{
        m_Ssid,     m_WifiPassword, m_StaticIpBox, m_LocalIp,         m_HexIp,
        m_Gateway,  m_Subnet,       m_MacField,    m_MqttServer,      m_MqttPort,
        m_MqttUser, m_MqttPassword, m_MqttConfig,  m_MqttUpdateButton};
    for (Fl_Widget* w : all) {
        if (std::find(shown.begin(), shown.end(), w) != shown.end())
            w->show();
        else
            w->hide();
    }
    redraw();
}

void CWifiInfoFLTK::OnNetworkType() {
    using provision::NetworkMode;
    auto mode = provision::ModeOfNetworkType(m_NetworkType->value());
    if (!mode) return;
    const std::vector<Fl_Widget*> wifi{m_Ssid, m_WifiPassword};
    const std::vector<Fl_Widget*> address{m_StaticIpBox, m_LocalIp, m_HexIp, m_Gateway, m_Subnet};
    const std::vector<Fl_Widget*> mqtt{m_MacField,     m_MqttServer, m_MqttPort,        m_MqttUser,
                                       m_MqttPassword, m_MqttConfig, m_MqttUpdateButton};
    std::vector<Fl_Widget*> shown;
    if (*mode == NetworkMode::kStaticIp || *mode == NetworkMode::kWifiMqtt)
        shown.insert(shown.end(), wifi.begin(), wifi.end());
    if (*mode == NetworkMode::kStaticIp) shown.insert(shown.end(), address.begin(), address.end());
    if (*mode == NetworkMode::kWifiMqtt || *mode == NetworkMode::kLte)
        shown.insert(shown.end(), mqtt.begin(), mqtt.end());
    ShowOnly(shown);
}

void CWifiInfoFLTK::OnSave() {
    auto mode = provision::ModeOfNetworkType(m_NetworkType->value());
    if (!mode) return;
    provision::NetworkFields f{m_Ssid->value(),        m_WifiPassword->value(), m_LocalIp->value(),
                               m_Gateway->value(),     m_Subnet->value(),       m_MacField->value(),
                               m_MqttServer->value(),  m_MqttPort->value(),     m_MqttUser->value(),
                               m_MqttPassword->value()};
    auto outcome = provision::SaveNetworkSettings(*mode, f, m_ChannelId,
                                                  *CPassThruDll::GetInstance(), DialogPrompts());
    if (!outcome.hexIp.empty()) m_HexIp->value(outcome.hexIp.c_str());
    if (!outcome.mqttConfig.empty()) m_MqttConfig->value(outcome.mqttConfig.c_str());
}

void CWifiInfoFLTK::OnMqttUpdate() {
    provision::RecordMqttConfig(m_MqttConfig->value(), DialogPrompts());
}

void CWifiInfoFLTK::OnExit() {
    CFltfDBUtil util;
    const std::string langFile = util.LanguageFile("Velkor_ESP32");
    if (dialogs::Ask(app::ExitButtonQuestion(util, langFile))) hide();
}
