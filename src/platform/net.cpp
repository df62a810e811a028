#include "platform/net.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {
namespace {

in_addr ToInAddr(std::uint32_t address) {
    in_addr a{};
    a.s_addr = htonl(address);
    return a;
}

sockaddr_in ToSockaddr(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr = ToInAddr(address);
    return sa;
}

}  // namespace

bool ParseIpv4(const std::string& text, std::uint32_t& address) {
    std::uint32_t value = 0;
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        std::size_t start = i;
        unsigned part = 0;
        while (i < text.size() && i - start < 3 && text[i] >= '0' && text[i] <= '9')
            part = part * 10 + static_cast<unsigned>(text[i++] - '0');
        if (i == start || part > 255) return false;
        value = value << 8 | part;
        if (++parts < 4 && (i >= text.size() || text[i++] != '.')) return false;
    }
    if (i != text.size()) return false;
    address = value;
    return true;
}

std::string Ipv4Text(std::uint32_t address) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a = ToInAddr(address);
    inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

UdpSocket::~UdpSocket() {
    Close();
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool UdpSocket::Open() {
    Close();
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return m_fd >= 0;
}

void UdpSocket::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool UdpSocket::SetReuseAddress() {
    int on = 1;
    return ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0;
}

bool UdpSocket::Bind(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sa = ToSockaddr(address, port);
    return ::bind(m_fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

std::uint16_t UdpSocket::LocalPort() const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
    return ntohs(sa.sin_port);
}

bool UdpSocket::JoinGroup(std::uint32_t group, std::uint32_t interfaceAddress) {
    ip_mreq request{};
    request.imr_multiaddr = ToInAddr(group);
    request.imr_interface = ToInAddr(interfaceAddress);
    return ::setsockopt(m_fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request) == 0;
}

bool UdpSocket::SetMulticastInterface(std::uint32_t interfaceAddress) {
    in_addr a = ToInAddr(interfaceAddress);
    return ::setsockopt(m_fd, IPPROTO_IP, IP_MULTICAST_IF, &a, sizeof a) == 0;
}

bool UdpSocket::SendTo(std::uint32_t address, std::uint16_t port, const void* data,
                       std::size_t size) {
    sockaddr_in sa = ToSockaddr(address, port);
    ssize_t sent =
        ::sendto(m_fd, data, size, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    return sent >= 0 && static_cast<std::size_t>(sent) == size;
}

UdpSocket::Receive UdpSocket::ReceiveFrom(void* buffer, std::size_t capacity, std::size_t& size,
                                          std::uint32_t& from, std::uint16_t& fromPort,
                                          int timeoutMs) {
    pollfd p{m_fd, POLLIN, 0};
    int ready = ::poll(&p, 1, timeoutMs);
    if (ready == 0 || (ready < 0 && errno == EINTR)) return Receive::kTimeout;
    if (ready < 0) return Receive::kError;
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    ssize_t n =
        ::recvfrom(m_fd, buffer, capacity, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&sa), &len);
    if (n < 0) return errno == EAGAIN || errno == EINTR ? Receive::kTimeout : Receive::kError;
    size = static_cast<std::size_t>(n);
    from = ntohl(sa.sin_addr.s_addr);
    fromPort = ntohs(sa.sin_port);
    return Receive::kDatagram;
}

int UdpSocket::WaitReadable(UdpSocket* const* sockets, std::size_t count, int timeoutMs) {
    pollfd p[8];
    if (count > 8) count = 8;
    for (std::size_t i = 0; i < count; ++i) p[i] = {sockets[i]->m_fd, POLLIN, 0};
    int ready = ::poll(p, count, timeoutMs);
    if (ready == 0 || (ready < 0 && errno == EINTR)) return -1;
    if (ready < 0) return -2;
    for (std::size_t i = 0; i < count; ++i)
        if (p[i].revents & (POLLIN | POLLERR)) return static_cast<int>(i);
    return -1;
}

std::string LastSocketErrorText() {
    return std::strerror(errno);
}

}  // namespace platform
