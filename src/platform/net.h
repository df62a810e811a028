// UDP datagram sockets for multicast discovery, and IPv4 address texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// The IPv4 address of a strict dotted-quad text ("10.0.0.7": four decimal parts of 0..255,
// no blanks, no leading '+', at most three digits each), first octet in the most
// significant byte. False for any other text.
bool ParseIpv4(const std::string& text, std::uint32_t& address);

// Dotted-quad text of an address in the byte order above.
std::string Ipv4Text(std::uint32_t address);

// One IPv4 datagram socket with one owner; closed by its destructor.
class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;

    // Opens a new socket (closing one held before). False when the system refuses.
    bool Open();
    bool IsOpen() const { return m_fd >= 0; }
    void Close();

    // SO_REUSEADDR, so several programs of this machine can listen on one port.
    bool SetReuseAddress();
    // Binds to `address` (0: any) and `port` (0: one the system picks).
    bool Bind(std::uint32_t address, std::uint16_t port);
    // The port this socket is bound to (0 when unbound or unknown).
    std::uint16_t LocalPort() const;
    // Joins the multicast `group` on the interface with address `interfaceAddress` (0: the
    // system's choice).
    bool JoinGroup(std::uint32_t group, std::uint32_t interfaceAddress);
    // Sends multicast datagrams out of the interface with this address (IP_MULTICAST_IF).
    bool SetMulticastInterface(std::uint32_t interfaceAddress);

    // Sends one datagram; false unless all of it was sent.
    bool SendTo(std::uint32_t address, std::uint16_t port, const void* data, std::size_t size);

    enum class Receive { kDatagram, kTimeout, kError };
    // Waits up to `timeoutMs` for one datagram and copies at most `capacity` bytes of it into
    // `buffer` (the rest of a longer datagram is dropped). `size` gets the bytes copied,
    // `from` and `fromPort` the sender.
    Receive ReceiveFrom(void* buffer, std::size_t capacity, std::size_t& size, std::uint32_t& from,
                        std::uint16_t& fromPort, int timeoutMs);

    // Waits up to `timeoutMs` until one of `count` sockets has a datagram: its index, -1 on
    // time-out (or a signal), -2 on error.
    static int WaitReadable(UdpSocket* const* sockets, std::size_t count, int timeoutMs);

private:
    int m_fd = -1;
};

// The system's description of the calling thread's last socket error.
std::string LastSocketErrorText();

}  // namespace platform
