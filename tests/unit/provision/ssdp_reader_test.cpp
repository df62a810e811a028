// The readers of what the network sends: datagram headers, locations, descriptions.
#include "provision/ssdp_reader.h"

#include <gtest/gtest.h>

#include "sim_announce.h"

using provision::DatagramLocations;
using provision::DescriptionFriendlyName;
using provision::LocationParts;
using provision::SplitLocation;

namespace {

std::vector<std::string> Locations(const std::string& datagram) {
    return DatagramLocations(datagram.data(), datagram.size());
}

TEST(DatagramLocations, HeaderNamesInAnyCaseAndLineEnds) {
    struct Case {
        std::string datagram;
        std::vector<std::string> locations;
    } cases[] = {
        {"NOTIFY * HTTP/1.1\r\nLOCATION: http://192.168.4.1:80/desc.xml\r\n\r\n",
         {"http://192.168.4.1:80/desc.xml"}},
        {"HTTP/1.1 200 OK\r\nLocation: http://a/x\r\n\r\n", {"http://a/x"}},  // GSSDP
        {"NOTIFY\nlocation:\thttp://a/x  \nLOCATION:http://b/y", {"http://a/x", "http://b/y"}},
        {"NOTIFY\r\n\r\n\r\nLOCATION: \r\nLOCATION:\r\n", {}},
        {"NOTIFY\r\nHOST: 239.255.255.250:1900\r\n\r\n", {}},
        {std::string("LOCATION: http://a/x\r\n\0LOCATION: http://b/y\r\n", 44), {"http://a/x"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.datagram);
        EXPECT_EQ(Locations(c.datagram), c.locations);
    }
}

TEST(SplitLocation, ExactlySchemeHostAndOneSegment) {
    struct Case {
        const char* location;
        bool accepted;
        const char* hostPort;
        const char* host;
    } cases[] = {
        {"http://192.168.4.1:80/desc.xml", true, "192.168.4.1:80", "192.168.4.1"},
        {"HTTP://192.168.4.1/desc.xml", true, "192.168.4.1", "192.168.4.1"},
        {"http://192.168.4.1:80/", true, "192.168.4.1:80", "192.168.4.1"},
        {"http:///192.168.4.1//desc.xml", true, "192.168.4.1", "192.168.4.1"},
        {"http://192.168.4.1:80//", true, "192.168.4.1:80", "192.168.4.1"},
        {"http://192.168.4.1:80/a/desc.xml", false, "", ""},
        {"http://192.168.4.1:80", false, "", ""},
        {"http://192.168.4.1:80/a/", false, "", ""},
        {"https://192.168.4.1/desc.xml", false, "", ""},
        {"file:///etc/passwd", false, "", ""},
        {"http://:80/desc.xml", false, "", ""},
        {"/desc.xml", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        LocationParts parts;
        ASSERT_EQ(SplitLocation(c.location, parts), c.accepted);
        if (!c.accepted) continue;
        EXPECT_EQ(parts.hostPort, c.hostPort);
        EXPECT_EQ(parts.host, c.host);
    }
}

TEST(DescriptionFriendlyName, ReadsRootDeviceFriendlyNameOnly) {
    struct Case {
        std::string body;
        bool found;
        std::string name;
    } cases[] = {
        {sim::DeviceDescription("Dev1"), true, "Dev1"},
        {sim::DeviceDescription("A & <B>"), true, "A & <B>"},
        {"<root><device><friendlyName>Dev1</friendlyName></device></root>", true, "Dev1"},
        {"<root><device><friendlyName></friendlyName></device></root>", false, ""},
        {"<root><friendlyName>Dev1</friendlyName></root>", false, ""},
        {"<root><device><friendlyName>Dev1</device></root>", false, ""},
        {"{\"friendlyName\":\"Dev1\"}", false, ""},
        {std::string("<root><device><friendlyName>Dev1</friendlyName></device></root>\0junk", 67),
         true, "Dev1"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        std::string name = "unchanged";
        ASSERT_EQ(DescriptionFriendlyName(c.body, name), c.found);
        EXPECT_EQ(name, c.found ? c.name : "unchanged");
    }
}

TEST(DescriptionFriendlyName, RefusesTooManyTagsBeforeParsing) {
    std::string deep;
    for (int i = 0; i < 200000; ++i) deep += "<a>";
    std::string name;
    EXPECT_FALSE(DescriptionFriendlyName("<root><device>" + deep, name));

    std::string wide = "<root><device><friendlyName>Dev1</friendlyName>";
    for (int i = 0; i < provision::kMaxDescriptionTags - 4; ++i) wide += "<x/>";
    EXPECT_TRUE(DescriptionFriendlyName(wide + "</device></root>", name));
    EXPECT_FALSE(DescriptionFriendlyName(wide + "<x/><x/></device></root>", name));
}

}  // namespace
