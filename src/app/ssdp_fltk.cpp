#include "app/ssdp_fltk.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/x.H>

#include <chrono>

#include "app/dialogs.h"
#include "app/menu_text.h"
#include "platform/window.h"
#include "provision/ssdp_discover.h"

namespace {

constexpr int kSearchWaitMs = 5000;

template <void (CSSDPFltk::*Method)()>
void Forward(Fl_Widget*, void* window) {
    (static_cast<CSSDPFltk*>(window)->*Method)();
}

}  // namespace

CSSDPFltk::CSSDPFltk(int w, int h, const char* title, std::uint32_t mode, std::string* output)
    : Fl_Window(w, h), m_Output(output), m_Mode(mode) {
    copy_label(title);
    const bool serial = mode == kSerialMode;
    m_List = new Fl_Input_Choice(140, 40, 220, 30, serial ? "COM Ports:" : "WIFI-IOT Device List:");
    if (serial) {
        m_Ports = provision::SerialPortEntries();
        for (const auto& port : m_Ports) app::AddMenuText(*m_List, port.text);
        if (!m_Ports.empty()) m_List->value(0);
        m_ActionButton = new Fl_Button(20, 100, 160, 30, "Set Device in USB Boot");
        m_ActionButton->callback(Forward<&CSSDPFltk::OnUsbBoot>, this);
    } else {
        FillDeviceList();
        m_ActionButton = new Fl_Button(20, 100, 160, 30, "Find Connected Devices");
        m_ActionButton->callback(Forward<&CSSDPFltk::OnFindDevices>, this);
    }
    m_UseButton = new Fl_Button(200, 100, 160, 30, "USe Selected Interface");
    m_UseButton->callback(Forward<&CSSDPFltk::OnUseSelected>, this);
    end();
    user_data(this);
    set_modal();
    show();
    m_Hwnd = fl_xid(this);
    platform::KeepFromMaximising(fl_display, m_Hwnd, this->w(), this->h());
}

CSSDPFltk::~CSSDPFltk() = default;

void CSSDPFltk::FillDeviceList() {
    std::vector<std::string> names;
    CSSDP_Discover::GetInstance()->GetDeviceNames(names);
    m_List->menubutton()->clear();
    for (const std::string& name : names) app::AddMenuText(*m_List, name);
    if (!names.empty()) m_List->value(0);
}

void CSSDPFltk::WaitResponsive(int ms) {
    m_ActionButton->deactivate();
    m_UseButton->deactivate();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) Fl::wait(0.05);
    m_ActionButton->activate();
    m_UseButton->activate();
}

void CSSDPFltk::OnUsbBoot() {
    const std::string port = provision::PortOfText(m_List->value(), m_Ports);
    const std::string problem = provision::SwitchToUsbBoot(port, provision::kUsbBootHoldMs,
                                                           [this](int ms) { WaitResponsive(ms); });
    if (!problem.empty()) {
        dialogs::Alert(problem);  // the window stays, for another port
        return;
    }
    dialogs::Alert("Device Set in USB boot mode.\nNow you can Erase/Update Boot loader!");
    hide();
}

void CSSDPFltk::OnFindDevices() {
    CSSDP_Discover::GetInstance()->FindDevices();
    WaitResponsive(kSearchWaitMs);
    FillDeviceList();
}

void CSSDPFltk::OnUseSelected() {
    const std::string text = m_List->value();
    if (!text.empty() && m_Output) {
        if (m_Mode == kSerialMode) {
            *m_Output = provision::PortOfText(text, m_Ports);
        } else {
            std::string address;
            CSSDP_Discover::GetInstance()->GetDeviceAddress(text, address);
            *m_Output = address;
        }
    }
    hide();
}
