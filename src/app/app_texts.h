// Window titles, the two exit questions and the first pass over the window texts: the
// GUI-free work behind the start-up and the main window.
#pragma once

#include <cstdint>
#include <string>

class CFltfDBUtil;

namespace app {

// "Vidozado Vazadu Vorev(Online)" with its version and the build stamp.
std::string LoginWindowTitle();
std::string MainWindowTitle();

// "ZERE DAV Eduza" (the device finder) and "Update Wifi Setting" (the network settings
// dialog) with their versions and the build stamp.
std::string DeviceFinderTitle();
std::string WifiSettingsTitle();

// The close-box question of every top-level window.
std::string ConfirmExitQuestion();

// The Exit button's question: APP_EXIT_MSG of the GUI text file, decoded; when it is
// missing its default is written back and the built-in question is used.
std::string ExitButtonQuestion(const CFltfDBUtil& util, const std::string& langFile);

// Writes the default of each start-up text that is missing and returns the page size that
// RowCount gives (5 when it is missing).
std::uint16_t FirstTextPass(const CFltfDBUtil& util, const std::string& langFile);

// A window text of [GUI_TEXT] by the text-with-default rule.
std::string GuiText(const CFltfDBUtil& util, const std::string& langFile, const char* key,
                    const char* def);

}  // namespace app
