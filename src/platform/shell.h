// Starting the maintenance scripts that ship beside the program.
#pragma once

#include <string>

namespace platform {

// Runs `/bin/sh <script>` with `folder` as its working folder, in a session of its own and,
// when a terminal program is at hand on an X display, in a terminal window. Returns once the
// script is started, never waiting for it. False when no process could be started.
//
// The terminal is taken from $VELKOR_TERMINAL ("none" runs the script without one), else
// x-terminal-emulator or xterm from the PATH.
bool StartScript(const std::string& folder, const std::string& script);

}  // namespace platform
