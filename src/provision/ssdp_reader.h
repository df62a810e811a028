// Readers of what discovery receives from the network: SSDP datagrams (NOTIFY messages and
// answers to a search), the locations they name, and device descriptions.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace provision {

// The LOCATION header values of one datagram, in order. The text ends at the first zero
// byte; lines are cut at every run of CR and LF. A line holds a location when it contains
// "location:" in any letter case (header names are case-insensitive, as in HTTP); the value
// is the rest of the line without surrounding blanks and tabs. Empty values are left out.
std::vector<std::string> DatagramLocations(const char* data, std::size_t size);

struct LocationParts {
    std::string hostPort;  // "192.168.4.1:80"
    std::string host;      // "192.168.4.1"
};

// Accepts only "http://host[:port]/segment" (or "http://host[:port]/"): cut at runs of '/',
// exactly three parts (the scheme "http:" in any letter case, host with port, one path
// segment or the empty part after a trailing slash). False for every other location.
bool SplitLocation(const std::string& location, LocationParts& parts);

// Most tags a description may open (a device's has a few dozen); a text with more is refused
// before the XML reader, which recurses per level of nesting, sees it.
inline constexpr int kMaxDescriptionTags = 2048;

// The text of root.device.friendlyName of a device description (the body up to its first
// zero byte, read as XML). False when the body is not well-formed XML, opens more than
// kMaxDescriptionTags tags, or has no such element or an empty one.
bool DescriptionFriendlyName(const std::string& body, std::string& name);

}  // namespace provision
