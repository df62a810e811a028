// Native window frame adjustments.
#pragma once

namespace platform {

// Asks the window manager to offer minimising but neither maximising nor resizing for the
// given top-level window of `width` x `height`. `display` and `window` are the native X11
// display connection and window id (FLTK's fl_display and fl_xid()).
void KeepFromMaximising(void* display, unsigned long window, int width, int height);

// True when the window's hints forbid resizing (both size limits equal its size) and its
// frame offers no maximise function; how tests and callers can check the above.
bool IsKeptFromMaximising(void* display, unsigned long window);

}  // namespace platform
