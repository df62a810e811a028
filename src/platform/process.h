// Process-level services: the component runtime of the GUI thread and the abrupt quit.
#pragma once

namespace platform {

// Prepares the calling thread for the component runtime; nothing to do on this system.
void InitComponentRuntime();

// Ends the process at once, as a termination request does: no window is closed first and no
// destructor runs.
[[noreturn]] void QuitAtOnce();

}  // namespace platform
