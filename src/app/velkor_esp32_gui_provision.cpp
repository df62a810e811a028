// The main window's provisioning callbacks: network settings and the maintenance scripts.
#include "app/dialogs.h"
#include "app/velkor_esp32_gui.h"
#include "provision/boot_scripts.h"

namespace {

void StartScript(provision::MaintenanceScript script, const std::string& programDir) {
    std::string problem = provision::StartMaintenanceScript(programDir, script);
    if (!problem.empty()) dialogs::Alert(problem);
}

}  // namespace

// Filled by the network settings dialog.
void CVelkor_ESP32_GUI::OnWifi() {}

void CVelkor_ESP32_GUI::OnErase() {
    StartScript(provision::MaintenanceScript::kEraseFlash, GetModuleDir());
}

void CVelkor_ESP32_GUI::OnUpdateBoot() {
    StartScript(provision::MaintenanceScript::kBootLoader, GetModuleDir());
}
