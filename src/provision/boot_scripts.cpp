#include "provision/boot_scripts.h"

#include <vector>

#include "platform/paths.h"

namespace provision {
namespace {

constexpr const char* kScriptName = "updater.sh";
constexpr const char* kLogName = "updater.log";
constexpr std::size_t kReportLines = 12;

const char* SubFolder(MaintenanceScript script) {
    return script == MaintenanceScript::kEraseFlash ? "Erase_Flash" : "ESP32_S3_Velkor_Boot";
}

// The name the scripts give themselves in their messages.
const char* Title(MaintenanceScript script) {
    return script == MaintenanceScript::kEraseFlash ? "Erase Flash" : "Update Boot";
}

}  // namespace

std::string ScriptFolder(const std::string& programDir, MaintenanceScript script) {
    const char sep = platform::kNativeSep;
    return programDir + sep + "Hadware_Binary" + sep + SubFolder(script);
}

MaintenanceStart StartMaintenanceScript(const std::string& programDir, MaintenanceScript script) {
    const std::string folder = ScriptFolder(programDir, script);
    const std::string path = folder + platform::kNativeSep + kScriptName;
    MaintenanceStart start;
    if (!platform::PathExists(path)) {
        start.problem = "The maintenance script is missing:\n" + path;
        return start;
    }
    platform::ScriptStart run = platform::StartScript(folder, kScriptName, kLogName);
    if (!run.started) start.problem = "The maintenance script could not be started:\n" + path;
    start.output = std::move(run.output);
    return start;
}

std::string ScriptReport(MaintenanceScript script, const platform::ScriptOutput& output) {
    std::string report = Title(script);
    const int code = output.ExitCode();
    if (code == 0)
        report += " finished.";
    else if (code > 0)
        report += " failed (exit code " + std::to_string(code) + ").";
    else
        report += " stopped; its exit code is not known.";
    std::string lines = LastLines(output.Text(), kReportLines);
    report += "\n\n" + (lines.empty() ? std::string("(It wrote nothing.)") : lines);
    if (!output.LogPath().empty()) report += "\n\nThe whole output is in " + output.LogPath();
    return report;
}

std::string LastLines(const std::string& text, std::size_t count) {
    std::vector<std::string> lines(1);
    bool anew = false;  // after a CR the next character writes the line anew
    for (char c : text) {
        if (c == '\n') {
            lines.emplace_back();
            anew = false;
        } else if (c == '\r') {
            anew = true;
        } else {
            if (anew) lines.back().clear();
            anew = false;
            lines.back().push_back(c);
        }
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    const std::size_t first = lines.size() > count ? lines.size() - count : 0;
    std::string out;
    for (std::size_t i = first; i < lines.size(); ++i) out += (i == first ? "" : "\n") + lines[i];
    return out;
}

}  // namespace provision
