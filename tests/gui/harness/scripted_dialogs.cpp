#include "scripted_dialogs.h"

#include <gtest/gtest.h>

namespace testutil {

ScriptedDialogs::ScriptedDialogs() {
    dialogs::Install(this);
}
ScriptedDialogs::~ScriptedDialogs() {
    dialogs::Install(nullptr);
}

void ScriptedDialogs::Alert(const std::string& text) {
    alerts.push_back(text);
}

bool ScriptedDialogs::Ask(const std::string& text) {
    questions.push_back(text);
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    }
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string ScriptedDialogs::ChooseFile(const std::string& title, const std::string& /*filter*/,
                                        const std::string& /*preset*/) {
    chooserTitles.push_back(title);
    if (files.empty()) return std::string();
    std::string path = files.front();
    files.pop_front();
    return path;
}

}  // namespace testutil
