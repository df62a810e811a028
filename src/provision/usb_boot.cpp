#include "provision/usb_boot.h"

#include "platform/serial.h"

namespace provision {

std::vector<PortEntry> SerialPortEntries() {
    std::vector<PortEntry> entries;
    for (const platform::SerialPortInfo& p : platform::ListSerialPorts())
        entries.push_back(
            {p.description.empty() ? p.path : p.path + "  (" + p.description + ")", p.path});
    return entries;
}

std::string PortOfText(const std::string& text, const std::vector<PortEntry>& entries) {
    for (const PortEntry& e : entries)
        if (e.text == text) return e.port;
    return text;
}

std::string SwitchToUsbBoot(const std::string& port, int holdMs,
                            const std::function<void(int)>& hold) {
    if (port.empty()) return "Please choose the COM port of the device.";
    const std::string path = platform::SerialPortPath(port);
    platform::SerialPort serial;
    if (!serial.Open(path)) return "Could not open " + path + ": " + serial.ErrorText();
    if (!serial.ApplyBootSettings())
        return "Could not set " + path + " to 1200 baud: " + serial.ErrorText();
    serial.Purge();
    hold(holdMs);
    serial.Close();
    return "";
}

}  // namespace provision
