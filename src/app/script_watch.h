// Starts the maintenance scripts for the main window and tells the technician, through the
// dialog layer, how each one that runs without a terminal window ended. The window is never
// held up: a quick end (a missing flashing tool) is told at once, a long flash when it ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "provision/boot_scripts.h"

namespace app {

class ScriptWatch {
public:
    ScriptWatch() = default;
    ~ScriptWatch();  // stops watching; the scripts run on
    ScriptWatch(const ScriptWatch&) = delete;
    ScriptWatch& operator=(const ScriptWatch&) = delete;

    // Starts the script; a problem is shown at once, the outcome once the script has ended.
    void Start(provision::MaintenanceScript script, const std::string& programDir);

    // Scripts started and not yet reported.
    std::size_t Running() const { return m_runs.size(); }

private:
    struct Run {
        provision::MaintenanceScript script;
        std::unique_ptr<platform::ScriptOutput> output;
    };
    static void Tick(void* self);
    void ReportEnded();

    std::vector<Run> m_runs;
    bool m_reporting = false;  // an outcome is on screen; its nested loop may tick again
};

}  // namespace app
