// The erase and boot-loader maintenance scripts that ship beside the program: each one is
// started in its own folder, detached, and never waited for. When no terminal window shows
// a script, its output is kept so the technician can be told how it ended.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/shell.h"

namespace provision {

enum class MaintenanceScript {
    kEraseFlash,  // "&Erase": erases the ESP32-S3 flash
    kBootLoader,  // "&Update Boot": writes the boot-loader image
};

// The script's own folder below the program folder, e.g. <dir>/Hadware_Binary/Erase_Flash.
std::string ScriptFolder(const std::string& programDir, MaintenanceScript script);

struct MaintenanceStart {
    std::string problem;                             // why nothing runs, for the user
    std::unique_ptr<platform::ScriptOutput> output;  // set when no terminal shows the script
};

// Starts updater.sh of the script's folder with that folder as its working folder. The
// folder is handed to the shell layer as it is, so a program folder with blanks works.
// With no terminal window the output goes to updater.log beside the script.
MaintenanceStart StartMaintenanceScript(const std::string& programDir, MaintenanceScript script);

// What the technician is told once a script that ran without a terminal window has ended:
// how it ended, its last lines and where the whole output is.
std::string ScriptReport(MaintenanceScript script, const platform::ScriptOutput& output);

// The last `count` lines of a terminal's output: a carriage return starts its line anew,
// as the progress lines of a flashing tool expect; empty lines at the end are dropped.
std::string LastLines(const std::string& text, std::size_t count);

}  // namespace provision
