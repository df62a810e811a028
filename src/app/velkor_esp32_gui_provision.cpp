// The main window's provisioning callbacks: the device finder, network settings and the
// maintenance scripts.
#include <FL/Fl.H>

#include "app/app_texts.h"
#include "app/dialogs.h"
#include "app/ssdp_fltk.h"
#include "app/velkor_esp32_gui.h"
#include "app/wifi_info_fltk.h"
#include "platform/elevation.h"
#include "provision/boot_scripts.h"

// Opens the network settings dialog for the connected device. The registry values it records
// need a writable registry store; without one the dialog is not opened.
void CVelkor_ESP32_GUI::OnWifi() {
    if (!m_bConnected) {
        dialogs::Alert("Please connect with device thrught USB port.");
        return;
    }
    std::string reason;
    if (!platform::IsUserAnAdmin(&reason)) {
        dialogs::Alert(
            "The J2534 registrations cannot be changed by this user, so the network "
            "settings could not be recorded (" +
            reason + ").");
        return;
    }
    const std::string title = app::WifiSettingsTitle();
    CWifiInfoFLTK dialog(550, 250, title.c_str(), m_ChannelId, m_DeviceMac);
    while (dialog.shown()) Fl::wait();
}

void CVelkor_ESP32_GUI::OpenDeviceFinder(std::uint32_t mode) {
    const std::string title = app::DeviceFinderTitle();
    m_FinderSelection.clear();
    m_pFinder.reset();
    m_pFinder = std::make_unique<CSSDPFltk>(400, 160, title.c_str(), mode, &m_FinderSelection);
    while (m_pFinder->shown()) Fl::wait();
}

void CVelkor_ESP32_GUI::OnErase() {
    m_Scripts.Start(provision::MaintenanceScript::kEraseFlash, GetModuleDir());
}

void CVelkor_ESP32_GUI::OnUpdateBoot() {
    m_Scripts.Start(provision::MaintenanceScript::kBootLoader, GetModuleDir());
}
