// A dialog layer for tests: records every text it is shown and answers from queues.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/dialogs.h"

namespace testutil {

class ScriptedDialogs : public dialogs::Dialogs {
public:
    // Installs itself for the dialogs:: calls; the destructor restores the FLTK dialogs.
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    void Alert(const std::string& text) override;
    // The next queued answer; a question nobody expected fails the test and gets "No".
    bool Ask(const std::string& text) override;
    // The next queued path; none queued means a cancelled chooser.
    std::string ChooseFile(const std::string& title, const std::string& filter,
                           const std::string& preset) override;

    std::deque<bool> answers;
    std::deque<std::string> files;
    std::vector<std::string> alerts;
    std::vector<std::string> questions;
    std::vector<std::string> chooserTitles;
};

}  // namespace testutil
