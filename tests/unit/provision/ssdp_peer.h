// Peers of the discovery tests, all inside the test's own network: description servers on a
// loopback address of their choice (127.0.0.0/8 is all loopback), crafted datagrams sent to
// the SSDP group from such an address, and the GSSDP test device as a process.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace ssdptest {

// Serves a description with `name` as friendlyName at /desc.xml (other paths answer 404).
class DescriptionServer {
public:
    DescriptionServer(const std::string& address, const std::string& name);
    ~DescriptionServer();
    std::string Url(const std::string& path = "/desc.xml") const;
    int Requests() const { return m_requests.load(); }

private:
    std::string m_address;
    int m_port = 0;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<int> m_requests{0};
};

// Takes connections into its backlog and never answers them.
class SilentServer {
public:
    explicit SilentServer(const std::string& address);
    ~SilentServer();
    std::string Url() const;

private:
    std::string m_address;
    int m_fd = -1;
    int m_port = 0;
};

// A NOTIFY announcing `location` under the header name `header` ("LOCATION").
std::string Notify(const std::string& location, const std::string& header = "LOCATION",
                   int port = 1900);

// Sends `datagram` to 239.255.255.250:port from `from` (a loopback address).
void SendToGroup(const std::string& from, int port, const std::string& datagram);

// The GSSDP test device announcing `location`; ended by the destructor.
class GssdpDevice {
public:
    GssdpDevice(const std::string& address, const std::string& location);
    ~GssdpDevice();
    bool Ready() const { return m_ready; }

private:
    pid_t m_pid = -1;
    bool m_ready = false;
};

}  // namespace ssdptest
