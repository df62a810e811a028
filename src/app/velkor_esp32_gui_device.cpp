// The main window's device callbacks: link, hardware information, firmware and Web DL.
#include "app/velkor_esp32_gui.h"
#include "device/function_library.h"

// Filled by the device and firmware subsystems.
void CVelkor_ESP32_GUI::OnConnect() {}
void CVelkor_ESP32_GUI::OnHWInfo() {}
void CVelkor_ESP32_GUI::OnFirmwareUpdate() {}
void CVelkor_ESP32_GUI::OnBootFirmwareUpdate() {}
void CVelkor_ESP32_GUI::OnWebDL() {}

bool CVelkor_ESP32_GUI::FindFunctionLibrary(const std::string& name, std::string& path) {
    return device::FindFunctionLibrary(name, path, m_PassThruList);
}
