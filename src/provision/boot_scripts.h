// The erase and boot-loader maintenance scripts that ship beside the program: each one is
// started in its own folder, detached, and never waited for.
#pragma once

#include <string>

namespace provision {

enum class MaintenanceScript {
    kEraseFlash,  // "&Erase": erases the ESP32-S3 flash
    kBootLoader,  // "&Update Boot": writes the boot-loader image
};

// The script's own folder below the program folder, e.g. <dir>/Hadware_Binary/Erase_Flash.
std::string ScriptFolder(const std::string& programDir, MaintenanceScript script);

// Starts updater.sh of the script's folder with that folder as its working folder. The
// folder is handed to the shell layer as it is, so a program folder with blanks works.
// Returns an empty text once the script runs, else a message for the user.
std::string StartMaintenanceScript(const std::string& programDir, MaintenanceScript script);

}  // namespace provision
