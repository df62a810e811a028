// SSDP discovery of the Wi-Fi devices: a sender thread multicasts a search every 5 seconds
// (and at once when woken), a receiver thread reads NOTIFY messages on the SSDP group and the
// answers devices send to the search socket, fetches each new device description and records
// the device's friendly name with its IPv4 address.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include "platform/net.h"
#include "provision/ssdp_settings.h"

class CSSDP_Discover {
public:
    class CDiscoverTxThreadAdapter {
    public:
        explicit CDiscoverTxThreadAdapter(CSSDP_Discover* owner) : m_owner(owner) {}
        virtual ~CDiscoverTxThreadAdapter() = default;
        void operator()() const { m_owner->SenderLoop(); }

    private:
        CSSDP_Discover* m_owner;
    };

    class CDiscoverRxThreadAdapter {
    public:
        explicit CDiscoverRxThreadAdapter(CSSDP_Discover* owner) : m_owner(owner) {}
        virtual ~CDiscoverRxThreadAdapter() = default;
        void operator()() const { m_owner->ReceiverLoop(); }

    private:
        CSSDP_Discover* m_owner;
    };

    // Fetches a description URL into the body; true on success. Called on the receiver.
    using Fetch = std::function<bool(const std::string& url, std::string& body)>;

    // The process-wide instance: settings from Passthru.ini beside the executable, the
    // bounded description fetch. Created on the first call, never destroyed.
    static CSSDP_Discover* GetInstance();

    // An instance of its own (tests, benchmarks); `fetch` empty means the bounded GET.
    explicit CSSDP_Discover(provision::SsdpSettings settings, Fetch fetch = {});
    ~CSSDP_Discover();  // stops the threads
    CSSDP_Discover(const CSSDP_Discover&) = delete;
    CSSDP_Discover& operator=(const CSSDP_Discover&) = delete;

    // Opens the sockets and starts the receiver, then the sender; a second call does nothing
    // (also after StopThreads).
    void StartThreads();
    // Ends both threads and closes the sockets; the device table stays.
    void StopThreads();

    // Wakes the sender, which searches at once.
    void FindDevices();

    // Replaces `names` with the recorded names in discovery order; returns their number.
    std::size_t GetDeviceNames(std::vector<std::string>& names) const;

    // The host of the first device recorded under exactly `name`; false leaves `address`.
    bool GetDeviceAddress(const std::string& name, std::string& address) const;

    const provision::SsdpSettings& Settings() const { return m_settings; }
    // The search socket's port (where devices answer), once the threads started; else 0.
    std::uint16_t SearchPort() const { return m_searchPort.load(); }

    // Reads one datagram from `sender` as the receiver does (the fuzz target's way in).
    void HandleDatagram(const char* data, std::size_t size, std::uint32_t sender);

    // Most devices the table keeps; further names are not recorded.
    static constexpr std::size_t kMaxDevices = 1024;

private:
    void SenderLoop();
    void ReceiverLoop();
    void OpenSockets();
    bool KnownName(const std::string& text) const;
    bool FetchedRecently(const std::string& location);
    void AddDevice(const std::string& name, const std::string& host);

    const provision::SsdpSettings m_settings;
    Fetch m_fetch;
    std::uint32_t m_interface = 0;  // 0: the system's choice

    // Owned here, opened before the threads start and closed after both ended: the sender
    // sends on the search socket, the receiver reads both.
    platform::UdpSocket m_groupSocket;
    platform::UdpSocket m_searchSocket;
    std::atomic<std::uint16_t> m_searchPort{0};

    mutable boost::mutex m_tableLock;  // the device table and the name list
    std::vector<std::pair<std::string, std::string>> m_devices;  // (name, host)
    std::vector<std::string> m_names;

    boost::mutex m_wakeLock;  // the wake-up of the sender
    boost::condition_variable m_wake;
    bool m_wakeRequested = false;
    bool m_stopping = false;  // under m_wakeLock; mirrored in m_stop for the receiver
    std::atomic<bool> m_stop{false};

    // Locations fetched lately (receiver thread only), so that a device that answers every
    // search, or one whose description server is silent, costs one fetch per period.
    std::map<std::string, std::chrono::steady_clock::time_point> m_fetched;

    boost::mutex m_threadLock;  // starting and stopping
    bool m_started = false;
    boost::thread m_sender;
    boost::thread m_receiver;
};
