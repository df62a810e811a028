#include "app/dialogs.h"

#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>

namespace dialogs {
namespace {

class FltkDialogs : public Dialogs {
public:
    // The texts are passed as arguments, never as the format: a stored window text may
    // hold '%' characters.
    void Alert(const std::string& text) override { fl_alert("%s", text.c_str()); }

    // fl_ask's question: "No" is button 0, "Yes" button 1.
    bool Ask(const std::string& text) override {
        return fl_choice("%s", fl_no, fl_yes, nullptr, text.c_str()) == 1;
    }

    std::string ChooseFile(const std::string& title, const std::string& filter,
                           const std::string& preset) override {
        Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
        chooser.title(title.c_str());
        if (!filter.empty()) chooser.filter(filter.c_str());
        if (!preset.empty()) chooser.preset_file(preset.c_str());
        if (chooser.show() != 0 || !chooser.filename()) return std::string();
        return chooser.filename();
    }
};

Dialogs& Fltk() {
    static FltkDialogs fltk;
    return fltk;
}

Dialogs*& Current() {
    static Dialogs* current = &Fltk();
    return current;
}

}  // namespace

void Install(Dialogs* d) {
    Current() = d ? d : &Fltk();
}

void Alert(const std::string& text) {
    Current()->Alert(text);
}
bool Ask(const std::string& text) {
    return Current()->Ask(text);
}
std::string ChooseFile(const std::string& title, const std::string& filter,
                       const std::string& preset) {
    return Current()->ChooseFile(title, filter, preset);
}

}  // namespace dialogs
