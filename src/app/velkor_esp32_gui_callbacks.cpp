// The main window's general button callbacks. Those of each subsystem live beside this file:
// velkor_esp32_gui_device.cpp, velkor_esp32_gui_browser.cpp, velkor_esp32_gui_provision.cpp.
#include "app/app_texts.h"
#include "app/dialogs.h"
#include "app/velkor_esp32_gui.h"

// The table object goes only once the user really leaves: a "No" keeps the browser working.
void CVelkor_ESP32_GUI::OnExit() {
    if (!dialogs::Ask(app::ExitButtonQuestion(*this, m_LangFile))) return;
    ReleaseTable();
    hide();
}

// Shows a picture the user picks in the picture area.
void CVelkor_ESP32_GUI::OnUpImage() {
    std::string path = dialogs::ChooseFile("Input File", "JPEG Files\t*.jpg\nAll Files\t*");
    if (!path.empty() && !LoadPicture(path)) dialogs::Alert("No JPEG picture in\n" + path);
}
