// The FLTK dialogs behind the dialog layer, answered by pressing their buttons.
#include <gtest/gtest.h>  // first: gtest must precede the X11 macros

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>

#include <cstring>
#include <string>

#include "app/dialogs.h"

namespace {

struct Press {
    const char* button;    // label of the button to press
    std::string seenText;  // the message the dialog showed
};

// Finds a widget of the open dialog by label; nullptr when none has it.
Fl_Widget* FindLabel(const char* label) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        for (int i = 0; i < w->children(); ++i)
            if (w->child(i)->label() && std::strcmp(w->child(i)->label(), label) == 0)
                return w->child(i);
    return nullptr;
}

// Records the dialog's message (its longest label that is no button; the icon is one
// character) and presses `button`.
void PressButton(void* data) {
    auto* press = static_cast<Press*>(data);
    Fl_Widget* button = FindLabel(press->button);
    if (!button) {
        Fl::repeat_timeout(0.05, PressButton, data);  // not shown yet
        return;
    }
    Fl_Window* dialog = button->window();
    for (int i = 0; i < dialog->children(); ++i) {
        Fl_Widget* c = dialog->child(i);
        if (!dynamic_cast<Fl_Button*>(c) && c->label() &&
            std::strlen(c->label()) > press->seenText.size())
            press->seenText = c->label();
    }
    button->do_callback();
}

}  // namespace

TEST(FltkDialogs, AskMapsYesAndNo) {
    dialogs::Install(nullptr);
    for (const char* answer : {"Yes", "No"}) {
        Press press{answer, {}};
        Fl::add_timeout(0.1, PressButton, &press);
        EXPECT_EQ(dialogs::Ask("Leave now?\n100% sure"), std::string(answer) == "Yes");
        EXPECT_EQ(press.seenText, "Leave now?\n100% sure");  // '%' is no format
    }
}

TEST(FltkDialogs, AlertShowsTheTextAsItIs) {
    dialogs::Install(nullptr);
    Press press{"Close", {}};
    Fl::add_timeout(0.1, PressButton, &press);
    dialogs::Alert("Port %s is busy %d%%");
    EXPECT_EQ(press.seenText, "Port %s is busy %d%%");
}
