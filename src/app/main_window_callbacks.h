// FLTK callback trampolines of the main window: the window is every callback's user data.
#pragma once

#include <FL/Fl_Button.H>

class CVelkor_ESP32_GUI;

namespace main_window {

template <void (CVelkor_ESP32_GUI::*Method)()>
void Forward(Fl_Widget*, void* window) {
    (static_cast<CVelkor_ESP32_GUI*>(window)->*Method)();
}

// A labelled button whose callback gets `window` as its user data.
inline Fl_Button* TextButton(CVelkor_ESP32_GUI* window, int x, int y, int w, int h,
                             const char* label, Fl_Callback* callback) {
    auto* button = new Fl_Button(x, y, w, h, label);
    button->callback(callback, window);
    return button;
}

}  // namespace main_window
