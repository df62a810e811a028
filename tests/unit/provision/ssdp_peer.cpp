#include "ssdp_peer.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "platform/net.h"
#include "sim_announce.h"

namespace ssdptest {

DescriptionServer::DescriptionServer(const std::string& address, const std::string& name)
    : m_address(address), m_server(std::make_unique<httplib::Server>()) {
    const std::string body = sim::DeviceDescription(name);
    m_server->Get("/desc.xml", [this, body](const httplib::Request&, httplib::Response& res) {
        ++m_requests;
        res.set_content(body, "text/xml");
    });
    m_server->set_keep_alive_max_count(1);  // no connection outlives its request
    m_server->set_error_handler(
        [this](const httplib::Request&, httplib::Response&) { ++m_requests; });
    m_port = m_server->bind_to_any_port(address);
    if (m_port <= 0) throw std::runtime_error("cannot serve on " + address);
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
}

DescriptionServer::~DescriptionServer() {
    m_server->stop();
    m_thread.join();
}

std::string DescriptionServer::Url(const std::string& path) const {
    return "http://" + m_address + ":" + std::to_string(m_port) + path;
}

SilentServer::SilentServer(const std::string& address) : m_address(address) {
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    inet_pton(AF_INET, address.c_str(), &sa.sin_addr);
    socklen_t len = sizeof sa;
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(m_fd, 16) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
        throw std::runtime_error("silent server on " + address);
    m_port = ntohs(sa.sin_port);
}

SilentServer::~SilentServer() {
    ::close(m_fd);
}

std::string SilentServer::Url() const {
    return "http://" + m_address + ":" + std::to_string(m_port) + "/desc.xml";
}

std::string Notify(const std::string& location, const std::string& header, int port) {
    return "NOTIFY * HTTP/1.1\r\nHOST: 239.255.255.250:" + std::to_string(port) +
           "\r\nCACHE-CONTROL: max-age=1800\r\n" + header + ": " + location +
           "\r\nNT: upnp:rootdevice\r\nNTS: ssdp:alive\r\nUSN: uuid:test::upnp:rootdevice\r\n\r\n";
}

void SendToGroup(const std::string& from, int port, const std::string& datagram) {
    std::uint32_t source = 0, group = 0;
    platform::ParseIpv4(from, source);
    platform::ParseIpv4("239.255.255.250", group);
    platform::UdpSocket s;
    if (!s.Open() || !s.SetMulticastInterface(source) || !s.Bind(source, 0) ||
        !s.SendTo(group, static_cast<std::uint16_t>(port), datagram.data(), datagram.size()))
        throw std::runtime_error("cannot send to the group: " + platform::LastSocketErrorText());
}

GssdpDevice::GssdpDevice(const std::string& address, const std::string& location) {
    int out[2];
    if (::pipe(out) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::execl(GSSDP_TEST_DEVICE, GSSDP_TEST_DEVICE, address.c_str(), location.c_str(),
                static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(out[1]);
    char line[16] = {};
    m_ready = m_pid > 0 && ::read(out[0], line, sizeof line - 1) > 0 &&
              std::string(line).rfind("ready", 0) == 0;
    ::close(out[0]);
}

GssdpDevice::~GssdpDevice() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
}

}  // namespace ssdptest
