// The one way the program talks to the user in modal dialogs: alerts, Yes/No questions and
// file choosers. The FLTK implementation is in use unless another one is installed (tests
// install a scripted one that records every text and answers from a queue).
#pragma once

#include <string>

namespace dialogs {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows `text` and waits until the user closes it.
    virtual void Alert(const std::string& text) = 0;
    // Asks `text` with the buttons "No" and "Yes"; true for "Yes".
    virtual bool Ask(const std::string& text) = 0;
    // Lets the user pick one existing file; empty when the choice was cancelled.
    // `filter` is FLTK's native chooser filter ("Text\t*.bin\n"), `preset` a preset file.
    virtual std::string ChooseFile(const std::string& title, const std::string& filter,
                                   const std::string& preset) = 0;
};

// Makes `dialogs` answer every call below (not owned); nullptr restores the FLTK dialogs.
void Install(Dialogs* dialogs);

void Alert(const std::string& text);
bool Ask(const std::string& text);
std::string ChooseFile(const std::string& title, const std::string& filter,
                       const std::string& preset = std::string());

}  // namespace dialogs
