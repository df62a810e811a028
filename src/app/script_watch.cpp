#include "app/script_watch.h"

#include <FL/Fl.H>

#include "app/dialogs.h"

namespace app {
namespace {

// How soon a quick end is seen, and how often a running script is looked at.
constexpr int kFirstLookMs = 300;
constexpr double kTickSeconds = 0.25;

}  // namespace

ScriptWatch::~ScriptWatch() {
    Fl::remove_timeout(Tick, this);
}

void ScriptWatch::Start(provision::MaintenanceScript script, const std::string& programDir) {
    provision::MaintenanceStart start = provision::StartMaintenanceScript(programDir, script);
    if (!start.problem.empty()) {
        dialogs::Alert(start.problem);
        return;
    }
    if (!start.output) return;  // a terminal window shows it
    // A script that fails at once is told before the press returns; anything longer is
    // looked at from the event loop.
    start.output->Ended(kFirstLookMs);
    m_runs.push_back({script, std::move(start.output)});
    ReportEnded();
    if (!m_runs.empty() && !Fl::has_timeout(Tick, this)) Fl::add_timeout(kTickSeconds, Tick, this);
}

void ScriptWatch::Tick(void* self) {
    auto* watch = static_cast<ScriptWatch*>(self);
    watch->ReportEnded();
    if (!watch->m_runs.empty()) Fl::repeat_timeout(kTickSeconds, Tick, self);
}

void ScriptWatch::ReportEnded() {
    if (m_reporting) return;
    m_reporting = true;
    for (std::size_t i = 0; i < m_runs.size();) {
        if (!m_runs[i].output->Ended()) {
            ++i;
            continue;
        }
        Run run = std::move(m_runs[i]);
        m_runs.erase(m_runs.begin() + static_cast<std::ptrdiff_t>(i));
        dialogs::Alert(provision::ScriptReport(run.script, *run.output));
    }
    m_reporting = false;
}

}  // namespace app
