// The network settings dialog "Update Wifi Setting": one of four network modes for the
// connected device, its settings sent over the open J2534 channel, and what the Wi-Fi
// variants' libraries need recorded in the registry. Nothing is read back from the device.
#pragma once

#include <FL/Fl_Window.H>

#include <cstdint>
#include <string>
#include <vector>

class Fl_Button;
class Fl_Check_Button;
class Fl_Input;
class Fl_Input_Choice;
class Fl_Int_Input;
class Fl_Secret_Input;
class Fl_Widget;

class CWifiInfoFLTK : public Fl_Window {
public:
    // Builds every widget (only the network type, Save and Exit shown), becomes modal and
    // shows itself. The channel and the MAC are the main window's m_ChannelId and m_DeviceMac.
    CWifiInfoFLTK(int w, int h, const char* title, std::uint32_t channelId,
                  const std::string& deviceMac);
    ~CWifiInfoFLTK() override;

    // Widget callbacks.
    void OnNetworkType();
    void OnSave();
    void OnMqttUpdate();
    void OnExit();

    std::uint32_t m_ChannelId;
    std::string m_DeviceMac;
    unsigned long m_Hwnd = 0;

    Fl_Input_Choice* m_NetworkType;
    Fl_Input* m_Ssid;
    Fl_Secret_Input* m_WifiPassword;
    Fl_Check_Button* m_StaticIpBox;
    Fl_Input *m_LocalIp, *m_HexIp, *m_Gateway, *m_Subnet;
    Fl_Button *m_MqttUpdateButton, *m_SaveButton, *m_ExitButton;
    Fl_Input *m_MacField, *m_MqttServer;
    Fl_Int_Input* m_MqttPort;
    Fl_Input *m_MqttUser, *m_MqttConfig;
    Fl_Secret_Input* m_MqttPassword;

private:
    void ShowOnly(const std::vector<Fl_Widget*>& shown);
};
