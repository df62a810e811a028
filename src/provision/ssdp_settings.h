// Discovery settings: section [TCP] of Passthru.ini beside the executable.
//   SSDPort        search port and port text of the HOST line; "1900" written when missing
//   SSDPMsg        when present, replaces the whole search message
//   SSDPInterface  IPv4 address of the interface to search and listen on; missing or empty:
//                  the system's choice (127.0.0.1 keeps discovery on this machine)
#pragma once

#include <cstdint>
#include <string>

namespace provision {

inline constexpr char kSsdpGroup[] = "239.255.255.250";
inline constexpr int kSsdpDefaultPort = 1900;

struct SsdpSettings {
    std::string message;           // the search datagram
    int port = kSsdpDefaultPort;   // search destination and listening port
    std::string interfaceAddress;  // dotted text; empty: the system's choice
};

// The default search message for a port text ("1900").
std::string SearchMessage(const std::string& portText);

// The settings of `iniFile` (written back where the rules say so).
SsdpSettings ReadSsdpSettings(const std::string& iniFile);

}  // namespace provision
