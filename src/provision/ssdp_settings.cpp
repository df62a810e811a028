#include "provision/ssdp_settings.h"

#include <cstdio>
#include <cstdlib>

#include "config/fltf_db_util.h"
#include "config/sealed_ini.h"

namespace provision {
namespace {

constexpr char kSection[] = "TCP";

}  // namespace

std::string SearchMessage(const std::string& portText) {
    return "M-SEARCH * HTTP/1.1\r\n"
           "HOST: 239.255.255.250:" +
           portText +
           "\r\n"
           "MAN: \"ssdp:discover\"\r\n"
           "MX: 3\r\n"
           "ST: ssdp:all\r\n"
           "\r\n";
}

SsdpSettings ReadSsdpSettings(const std::string& iniFile) {
    CFltfDBUtil ini;
    SsdpSettings s;
    const std::string port = ini.ReadIniValue(iniFile, kSection, "SSDPort");
    if (port == kIniError) {
        WriteIniSealed(iniFile, kSection, "SSDPort", "1900", "", false);
        s.message = SearchMessage("1900");
    } else if (!port.empty()) {
        s.message = SearchMessage(port);
        // The port is the value's leading decimal number; one outside 1..65535 cannot be
        // used, and the standard port stands in for it.
        long n = std::strtol(port.c_str(), nullptr, 10);
        s.port = n >= 1 && n <= 65535 ? static_cast<int>(n) : kSsdpDefaultPort;
        if (s.port != n)
            std::fprintf(stderr, "SSDPort \"%s\" is no port; using %d\n", port.c_str(), s.port);
    }
    if (!port.empty()) {
        const std::string message = ini.ReadIniValue(iniFile, kSection, "SSDPMsg");
        if (message != kIniError) s.message = message;
    }
    const std::string iface = ini.ReadIniValue(iniFile, kSection, "SSDPInterface");
    if (iface != kIniError) s.interfaceAddress = iface;
    return s;
}

}  // namespace provision
