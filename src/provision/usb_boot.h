// The finder's serial side: the port entries it lists and the switch that asks an ESP32-S3
// on a port to restart into its USB boot mode (the port opened at 1200 baud with DTR raised,
// held, and closed).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace provision {

struct PortEntry {
    std::string text;  // as listed: the port, then its USB description where known
    std::string port;  // the device node
};

// The machine's serial ports in list order.
std::vector<PortEntry> SerialPortEntries();

// The port an entry list text names: the port of the entry listed under that text, else the
// text itself (a port typed by hand).
std::string PortOfText(const std::string& text, const std::vector<PortEntry>& entries);

inline constexpr int kUsbBootHoldMs = 5000;

// Opens `port` (a name without '/' is taken under /dev), applies the boot settings, lets
// `hold` wait for `holdMs` and closes the port. Empty on success, else what went wrong (the
// port was then left as it was, or closed).
std::string SwitchToUsbBoot(const std::string& port, int holdMs,
                            const std::function<void(int)>& hold);

}  // namespace provision
