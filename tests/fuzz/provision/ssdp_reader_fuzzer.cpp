// What discovery reads from the network: the input is taken as a datagram (its locations
// split by the location rules), as a device description, and both at once through the
// receiver's own path, with the input served as the description of every location it names.
#include <cstddef>
#include <cstdint>
#include <string>

#include "provision/ssdp_discover.h"
#include "provision/ssdp_reader.h"

namespace {

std::string g_body;

CSSDP_Discover& Discovery() {
    static CSSDP_Discover discovery(provision::SsdpSettings{},
                                    [](const std::string&, std::string& body) {
                                        body = g_body;
                                        return true;
                                    });
    return discovery;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (const std::string& location : provision::DatagramLocations(input.data(), input.size())) {
        provision::LocationParts parts;
        provision::SplitLocation(location, parts);
    }
    std::string name;
    provision::DescriptionFriendlyName(input, name);

    g_body = input;
    Discovery().HandleDatagram(input.data(), input.size(), 0x7F000001);  // from 127.0.0.1
    std::vector<std::string> names;
    Discovery().GetDeviceNames(names);
    std::string address;
    for (const std::string& n : names) Discovery().GetDeviceAddress(n, address);
    return 0;
}
