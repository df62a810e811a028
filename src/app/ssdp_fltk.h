// The device finder: a small modal window that lists the machine's serial ports (serial mode)
// or the devices SSDP discovery found (Wi-Fi mode). In serial mode it asks the device on the
// chosen port to restart into its USB boot mode; in Wi-Fi mode it searches anew. "USe Selected
// Interface" hands the chosen entry back to the opener: the port in serial mode, the device's
// IPv4 address in Wi-Fi mode.
#pragma once

#include <FL/Fl_Window.H>

#include <cstdint>
#include <string>
#include <vector>

#include "config/fltf_db_util.h"
#include "provision/usb_boot.h"

class Fl_Button;
class Fl_Input_Choice;

class CSSDPFltk : public Fl_Window, public CFltfDBUtil {
public:
    static constexpr std::uint32_t kSerialMode = 16;
    static constexpr std::uint32_t kWifiMode = 32;

    // Fills its list for `mode`, becomes modal and shows itself. `output` (may be null)
    // receives the selection only through "USe Selected Interface".
    CSSDPFltk(int w, int h, const char* title, std::uint32_t mode, std::string* output);
    ~CSSDPFltk() override;

    // Button callbacks.
    void OnUsbBoot();
    void OnFindDevices();
    void OnUseSelected();

    std::string* m_Output;
    std::uint32_t m_Mode;
    unsigned long m_Hwnd = 0;  // native window id, once shown
    Fl_Input_Choice* m_List;
    Fl_Button* m_ActionButton;  // "Set Device in USB Boot" or "Find Connected Devices"
    Fl_Button* m_UseButton;
    std::vector<provision::PortEntry> m_Ports;  // serial mode: what the list shows

private:
    void FillDeviceList();
    // Waits `ms` with the window drawn and its buttons off, so nothing starts twice.
    void WaitResponsive(int ms);
};
