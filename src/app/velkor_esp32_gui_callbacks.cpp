// The main window's button callbacks: each hands the window's state to its subsystem.
#include "app/app_texts.h"
#include "app/dialogs.h"
#include "app/velkor_esp32_gui.h"
#include "device/function_library.h"
#include "platform/connectivity.h"

namespace {

constexpr const char* kNoInternet =
    "Thanks for your time to use app, please verify you internet connection! Application need "
    "Internet Connection ?";

}  // namespace

// The table object goes only once the user really leaves: a "No" keeps the browser working.
void CVelkor_ESP32_GUI::OnExit() {
    if (!dialogs::Ask(app::ExitButtonQuestion(*this, m_LangFile))) return;
    ReleaseTable();
    hide();
}

void CVelkor_ESP32_GUI::OnDbOpen() {
    if (platform::CheckConnectivity() != platform::kInternet) {
        dialogs::Alert(kNoInternet);
        return;
    }
    if (m_pDb) return;
    // The browser creates its table object here once it is built (m_pDb stays null).
}

void CVelkor_ESP32_GUI::OnErase() {
    m_Scripts.Start(provision::MaintenanceScript::kEraseFlash, GetModuleDir());
}

void CVelkor_ESP32_GUI::OnUpdateBoot() {
    m_Scripts.Start(provision::MaintenanceScript::kBootLoader, GetModuleDir());
}

// Shows a picture the user picks in the picture area.
void CVelkor_ESP32_GUI::OnUpImage() {
    std::string path = dialogs::ChooseFile("Input File", "JPEG Files\t*.jpg\nAll Files\t*");
    if (!path.empty() && !LoadPicture(path)) dialogs::Alert("No JPEG picture in\n" + path);
}

// Device link, firmware, download and network settings: filled by their subsystems.
void CVelkor_ESP32_GUI::OnConnect() {}
void CVelkor_ESP32_GUI::OnHWInfo() {}
void CVelkor_ESP32_GUI::OnFirmwareUpdate() {}
void CVelkor_ESP32_GUI::OnBootFirmwareUpdate() {}
void CVelkor_ESP32_GUI::OnWebDL() {}
void CVelkor_ESP32_GUI::OnWifi() {}

// Database browser: record editor, find, sort and paging; filled by the browser.
void CVelkor_ESP32_GUI::OnAddNew() {}
void CVelkor_ESP32_GUI::OnDone() {}
void CVelkor_ESP32_GUI::OnCancel() {}
void CVelkor_ESP32_GUI::OnFind() {}
void CVelkor_ESP32_GUI::OnSort() {}
void CVelkor_ESP32_GUI::OnFirst() {}
void CVelkor_ESP32_GUI::OnPrev() {}
void CVelkor_ESP32_GUI::OnNext() {}
void CVelkor_ESP32_GUI::OnLast() {}
void CVelkor_ESP32_GUI::OnPageSize() {}

bool CVelkor_ESP32_GUI::FindFunctionLibrary(const std::string& name, std::string& path) {
    return device::FindFunctionLibrary(name, path, m_PassThruList);
}
