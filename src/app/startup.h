// The start-up sequence: the global shortcut handler, the close-box question of every
// top-level window, and the steps from process start to the orderly exit.
#pragma once

#include <FL/Fl_Widget.H>

#include <cstdint>
#include <string>

// What a successful login hands to the main window.
struct LoginValues {
    std::uint64_t userId = 0;
    std::string serverFolder;
    std::string serverCfgFile;
    std::string extraText;  // never filled by the login
};

// Global FLTK handler: claims every FL_SHORTCUT that no widget took, so Escape never closes
// a window. 1 for FL_SHORTCUT, 0 for every other event.
int SwallowShortcut(int event);

// Close-box callback of the top-level windows: asks, and on "Yes" ends the process at once.
void ConfirmExit(Fl_Widget* window, void* data);

// Builds the main window for the login values and runs the event loop until it is hidden.
void RunMainStep(const LoginValues& login);

// The whole program: never returns, ends the process with exit code 0.
[[noreturn]] void RunApplication();
