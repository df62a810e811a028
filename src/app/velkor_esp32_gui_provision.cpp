// The main window's provisioning callbacks: network settings and the maintenance scripts.
#include "app/velkor_esp32_gui.h"
#include "provision/boot_scripts.h"

// Filled by the network settings dialog.
void CVelkor_ESP32_GUI::OnWifi() {}

void CVelkor_ESP32_GUI::OnErase() {
    m_Scripts.Start(provision::MaintenanceScript::kEraseFlash, GetModuleDir());
}

void CVelkor_ESP32_GUI::OnUpdateBoot() {
    m_Scripts.Start(provision::MaintenanceScript::kBootLoader, GetModuleDir());
}
