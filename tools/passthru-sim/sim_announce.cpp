#include "sim_announce.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace sim {
namespace {

constexpr char kGroup[] = "239.255.255.250";
constexpr char kUsnPrefix[] = "uuid:7d3c51e0-velkor-sim-";

std::string XmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A search this device answers: an M-SEARCH for everything or for root devices.
bool AnswersSearch(const std::string& datagram) {
    const std::string text = Lower(datagram);
    if (text.rfind("m-search ", 0) != 0) return false;
    return text.find("\nst: ssdp:all") != std::string::npos ||
           text.find("\nst: upnp:rootdevice") != std::string::npos;
}

}  // namespace

std::string DeviceDescription(const std::string& name) {
    return "<?xml version=\"1.0\"?>\n"
           "<root xmlns=\"urn:schemas-upnp-org:device-1-0\">\n"
           "  <specVersion><major>1</major><minor>0</minor></specVersion>\n"
           "  <device>\n"
           "    <deviceType>urn:schemas-upnp-org:device:Basic:1</deviceType>\n"
           "    <friendlyName>" +
           XmlEscape(name) +
           "</friendlyName>\n"
           "    <manufacturer>Velkor simulated device</manufacturer>\n"
           "    <modelName>QVX_WIFIAP_J2534</modelName>\n"
           "  </device>\n"
           "</root>\n";
}

SsdpAnnouncer::SsdpAnnouncer() = default;

SsdpAnnouncer::~SsdpAnnouncer() {
    Stop();
}

bool SsdpAnnouncer::Start(const AnnounceOptions& options, std::string* error) {
    m_options = options;
    if (!platform::ParseIpv4(options.interfaceAddress, m_interface)) {
        *error = options.interfaceAddress + " is no IPv4 address";
        return false;
    }
    m_http = std::make_unique<httplib::Server>();
    // One worker, and no connection kept past its request, which would hold that worker.
    m_http->new_task_queue = [] { return new httplib::ThreadPool(1); };
    m_http->set_keep_alive_max_count(1);
    const std::string description = Description();
    m_http->Get("/desc.xml", [description](const httplib::Request&, httplib::Response& res) {
        res.set_content(description, "text/xml");
    });
    int port = m_http->bind_to_any_port(options.interfaceAddress);
    if (port <= 0) {
        *error = "cannot serve the description on " + options.interfaceAddress;
        return false;
    }
    m_location = "http://" + options.interfaceAddress + ":" + std::to_string(port) + "/desc.xml";
    m_httpThread = std::thread([this] { m_http->listen_after_bind(); });

    std::uint32_t group = 0;
    platform::ParseIpv4(kGroup, group);
    if (!m_group.Open() || !m_group.SetReuseAddress() ||
        !m_group.Bind(0, static_cast<std::uint16_t>(options.ssdpPort)) ||
        !m_group.JoinGroup(group, m_interface) || !m_group.SetMulticastInterface(m_interface)) {
        *error = "SSDP socket: " + platform::LastSocketErrorText();
        Stop();
        return false;
    }
    m_listener = std::thread([this] { Listen(); });
    return true;
}

void SsdpAnnouncer::Stop() {
    m_stop = true;
    if (m_listener.joinable()) m_listener.join();
    if (m_http) m_http->stop();
    if (m_httpThread.joinable()) m_httpThread.join();
    m_group.Close();
}

std::string SsdpAnnouncer::Description() const {
    return DeviceDescription(m_options.name);
}

void SsdpAnnouncer::SendNotify() {
    std::uint32_t group = 0;
    platform::ParseIpv4(kGroup, group);
    const std::string port = std::to_string(m_options.ssdpPort);
    const std::string text = "NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:" + port +
                             "\r\nCACHE-CONTROL: max-age=1800\r\nLOCATION: " + m_location +
                             "\r\nNT: upnp:rootdevice\r\nNTS: ssdp:alive\r\nSERVER: Velkor/1.0 "
                             "UPnP/1.0 passthru-sim/1.0\r\nUSN: " +
                             kUsnPrefix + m_options.name + "::upnp:rootdevice\r\n\r\n";
    m_group.SendTo(group, static_cast<std::uint16_t>(m_options.ssdpPort), text.data(), text.size());
}

// Answers searches at once, by unicast to the searcher's own address and port.
void SsdpAnnouncer::Listen() {
    using Clock = std::chrono::steady_clock;
    auto nextNotify = Clock::now();
    std::vector<char> buffer(4096);
    while (!m_stop) {
        if (m_options.notify && Clock::now() >= nextNotify) {
            SendNotify();
            nextNotify = m_options.notifyPeriodMs > 0
                             ? Clock::now() + std::chrono::milliseconds(m_options.notifyPeriodMs)
                             : Clock::time_point::max();
        }
        std::size_t size = 0;
        std::uint32_t from = 0;
        std::uint16_t fromPort = 0;
        if (m_group.ReceiveFrom(buffer.data(), buffer.size(), size, from, fromPort, 50) !=
                platform::UdpSocket::Receive::kDatagram ||
            !AnswersSearch(std::string(buffer.data(), size)))
            continue;
        const std::string answer =
            "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=1800\r\nEXT:\r\n"
            "LOCATION: " +
            m_location +
            "\r\nSERVER: Velkor/1.0 UPnP/1.0 passthru-sim/1.0\r\n"
            "ST: upnp:rootdevice\r\nUSN: " +
            kUsnPrefix + m_options.name + "::upnp:rootdevice\r\n\r\n";
        if (m_group.SendTo(from, fromPort, answer.data(), answer.size())) ++m_answered;
    }
}

}  // namespace sim
