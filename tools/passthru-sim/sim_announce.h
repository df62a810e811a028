// The Wi-Fi variant of the simulated device on the network: it announces itself over SSDP
// (NOTIFY on the group), answers searches by unicast to the searcher, as devices do, and
// serves its description over HTTP on the same interface.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "platform/net.h"

namespace httplib {
class Server;
}

namespace sim {

struct AnnounceOptions {
    std::string name;                            // the description's friendlyName
    std::string interfaceAddress = "127.0.0.1";  // where it announces, answers and serves
    int ssdpPort = 1900;
    int notifyPeriodMs = 0;  // 0: one NOTIFY at the start only
    bool notify = true;      // false: found by searches alone
};

class SsdpAnnouncer {
public:
    SsdpAnnouncer();
    ~SsdpAnnouncer();  // Stop()

    // Serves the description, joins the group and starts answering; false with `error`.
    bool Start(const AnnounceOptions& options, std::string* error);
    void Stop();

    // "http://<interface>:<port>/desc.xml", once started.
    const std::string& Location() const { return m_location; }
    // Searches answered so far.
    long Answered() const { return m_answered.load(); }

private:
    void Listen();
    void SendNotify();
    std::string Description() const;

    AnnounceOptions m_options;
    std::uint32_t m_interface = 0;
    std::string m_location;
    std::unique_ptr<httplib::Server> m_http;
    std::thread m_httpThread;
    platform::UdpSocket m_group;
    std::thread m_listener;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_answered{0};
};

// The description document of a device called `name`.
std::string DeviceDescription(const std::string& name);

}  // namespace sim
