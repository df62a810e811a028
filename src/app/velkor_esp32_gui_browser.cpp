// The main window's database browser callbacks: open, record editor, find, sort and paging.
#include "app/dialogs.h"
#include "app/velkor_esp32_gui.h"
#include "platform/connectivity.h"

namespace {

constexpr const char* kNoInternet =
    "Thanks for your time to use app, please verify you internet connection! Application need "
    "Internet Connection ?";

}  // namespace

void CVelkor_ESP32_GUI::OnDbOpen() {
    if (platform::CheckConnectivity() != platform::kInternet) {
        dialogs::Alert(kNoInternet);
        return;
    }
    if (m_pDb) return;
    // The browser creates its table object here once it is built (m_pDb stays null).
}

// Filled by the browser.
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
