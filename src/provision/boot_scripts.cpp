#include "provision/boot_scripts.h"

#include "platform/paths.h"
#include "platform/shell.h"

namespace provision {
namespace {

constexpr const char* kScriptName = "updater.sh";

const char* SubFolder(MaintenanceScript script) {
    return script == MaintenanceScript::kEraseFlash ? "Erase_Flash" : "ESP32_S3_Velkor_Boot";
}

}  // namespace

std::string ScriptFolder(const std::string& programDir, MaintenanceScript script) {
    const char sep = platform::kNativeSep;
    return programDir + sep + "Hadware_Binary" + sep + SubFolder(script);
}

std::string StartMaintenanceScript(const std::string& programDir, MaintenanceScript script) {
    const std::string folder = ScriptFolder(programDir, script);
    const std::string path = folder + platform::kNativeSep + kScriptName;
    if (!platform::PathExists(path)) return "The maintenance script is missing:\n" + path;
    if (!platform::StartScript(folder, kScriptName))
        return "The maintenance script could not be started:\n" + path;
    return std::string();
}

}  // namespace provision
