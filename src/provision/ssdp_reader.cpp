#include "provision/ssdp_reader.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <cctype>
#include <cstring>
#include <sstream>

namespace provision {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string TrimBlanks(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Cut at every run of delimiters: a leading or trailing delimiter gives an empty first or
// last part, no other part is empty.
std::vector<std::string> Split(const std::string& text, const char* delimiters) {
    std::vector<std::string> parts;
    std::size_t b = 0;
    while (true) {
        std::size_t e = text.find_first_of(delimiters, b);
        parts.push_back(text.substr(b, e == std::string::npos ? std::string::npos : e - b));
        if (e == std::string::npos) break;
        b = text.find_first_not_of(delimiters, e);
        if (b == std::string::npos) {
            parts.emplace_back();
            break;
        }
    }
    return parts;
}

// At most `limit` tags open anything: every '<' that is not "</" counts (declarations and
// comments too), so the element nesting, which the XML reader follows by recursion, can be
// no deeper than that.
bool OpeningsWithin(const std::string& xml, int limit) {
    int openings = 0;
    for (std::size_t i = 0; i < xml.size(); ++i)
        if (xml[i] == '<' && (i + 1 == xml.size() || xml[i + 1] != '/') && ++openings > limit)
            return false;
    return true;
}

}  // namespace

std::vector<std::string> DatagramLocations(const char* data, std::size_t size) {
    std::vector<std::string> locations;
    const std::string text(data, strnlen(data, size));
    for (const std::string& line : Split(text, "\r\n")) {
        std::size_t at = Lower(line).find("location:");
        if (at == std::string::npos) continue;
        std::string value = TrimBlanks(line.substr(at + 9));
        if (!value.empty()) locations.push_back(std::move(value));
    }
    return locations;
}

bool SplitLocation(const std::string& location, LocationParts& parts) {
    std::vector<std::string> p = Split(location, "/");
    if (p.size() != 3 || Lower(p[0]) != "http:" || p[1].empty()) return false;
    parts.hostPort = p[1];
    parts.host = p[1].substr(0, p[1].find(':'));
    return !parts.host.empty();
}

bool DescriptionFriendlyName(const std::string& body, std::string& name) {
    const std::string xml(body.c_str());  // up to the first zero byte
    if (!OpeningsWithin(xml, kMaxDescriptionTags)) return false;
    try {
        std::istringstream in(xml);
        boost::property_tree::ptree tree;
        boost::property_tree::read_xml(in, tree);
        auto found = tree.get_optional<std::string>("root.device.friendlyName");
        if (!found || found->empty()) return false;
        name = *found;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace provision
