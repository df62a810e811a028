#include "provision/ssdp_discover.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "config/fltf_db_util.h"
#include "provision/description_fetch.h"
#include "provision/ssdp_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kDatagramSize = 4096;
constexpr int kSearchPeriodMs = 5000;
constexpr int kReceiveSliceMs = 100;  // how soon the receiver notices a stop
constexpr auto kFetchedHold = std::chrono::seconds(30);
constexpr auto kFailedHold = std::chrono::seconds(10);
constexpr std::size_t kFetchedMemory = 1024;

std::uint32_t Group() {
    std::uint32_t group = 0;
    platform::ParseIpv4(provision::kSsdpGroup, group);
    return group;
}

void Complain(const char* what) {
    std::fprintf(stderr, "%s: %s\n", what, platform::LastSocketErrorText().c_str());
}

}  // namespace

CSSDP_Discover* CSSDP_Discover::GetInstance() {
    static CSSDP_Discover* instance = new CSSDP_Discover(
        provision::ReadSsdpSettings(CFltfDBUtil().GetModuleDir() + "//Passthru.ini"));
    return instance;
}

CSSDP_Discover::CSSDP_Discover(provision::SsdpSettings settings, Fetch fetch)
    : m_settings(std::move(settings)), m_fetch(std::move(fetch)) {
    if (!m_fetch) {
        auto fetcher = std::make_shared<provision::DescriptionFetcher>();
        m_fetch = [fetcher](const std::string& url, std::string& body) {
            return fetcher->Fetch(url, body);
        };
    }
    if (!m_settings.interfaceAddress.empty() &&
        !platform::ParseIpv4(m_settings.interfaceAddress, m_interface))
        std::fprintf(stderr, "SSDPInterface \"%s\" is no IPv4 address; using the default\n",
                     m_settings.interfaceAddress.c_str());
}

CSSDP_Discover::~CSSDP_Discover() {
    StopThreads();
}

void CSSDP_Discover::StartThreads() {
    boost::lock_guard<boost::mutex> lock(m_threadLock);
    if (m_started) return;
    m_started = true;
    OpenSockets();
    m_receiver = boost::thread(CDiscoverRxThreadAdapter(this));
    if (m_searchSocket.IsOpen()) m_sender = boost::thread(CDiscoverTxThreadAdapter(this));
}

void CSSDP_Discover::StopThreads() {
    boost::lock_guard<boost::mutex> lock(m_threadLock);
    {
        boost::lock_guard<boost::mutex> wake(m_wakeLock);
        m_stopping = true;
    }
    m_stop = true;
    m_wake.notify_all();
    if (m_sender.joinable()) m_sender.join();
    if (m_receiver.joinable()) m_receiver.join();
    m_searchSocket.Close();
    m_groupSocket.Close();
}

// The group socket listens on the SSDP port of every interface and joins the group on the
// chosen one; its failures are reported and the receiver goes on with what it has. The
// search socket sends from the chosen interface and gets the devices' answers.
void CSSDP_Discover::OpenSockets() {
    const auto port = static_cast<std::uint16_t>(m_settings.port);
    if (m_groupSocket.Open()) {
        if (!m_groupSocket.SetReuseAddress()) Complain("Reusing ADDR failed");
        if (!m_groupSocket.Bind(0, port)) Complain("bind");
        if (!m_groupSocket.JoinGroup(Group(), m_interface)) Complain("setsockopt");
    } else {
        Complain("socket");
    }
    if (!m_searchSocket.Open()) {
        Complain("socket");
        return;
    }
    if (m_interface != 0 && !m_searchSocket.SetMulticastInterface(m_interface))
        Complain("setsockopt");
    if (!m_searchSocket.Bind(m_interface, 0)) Complain("bind");
    m_searchPort = m_searchSocket.LocalPort();
}

void CSSDP_Discover::FindDevices() {
    {
        boost::lock_guard<boost::mutex> lock(m_wakeLock);
        m_wakeRequested = true;
    }
    m_wake.notify_all();
}

// Searches, then waits 5 seconds or until woken; a failed send is reported and tried again
// at the next search.
void CSSDP_Discover::SenderLoop() {
    const std::string& message = m_settings.message;
    const auto port = static_cast<std::uint16_t>(m_settings.port);
    boost::unique_lock<boost::mutex> lock(m_wakeLock);
    while (!m_stopping) {
        lock.unlock();
        if (!message.empty() &&
            !m_searchSocket.SendTo(Group(), port, message.data(), message.size()))
            std::printf("error in SENDTO() function\n");
        lock.lock();
        m_wake.wait_for(lock, boost::chrono::milliseconds(kSearchPeriodMs),
                        [this] { return m_stopping || m_wakeRequested; });
        m_wakeRequested = false;
    }
}

void CSSDP_Discover::ReceiverLoop() {
    std::vector<char> buffer(kDatagramSize);
    platform::UdpSocket* sockets[] = {&m_groupSocket, &m_searchSocket};
    bool failing = false;  // reports a run of receive errors once
    while (!m_stop) {
        int ready = platform::UdpSocket::WaitReadable(sockets, 2, kReceiveSliceMs);
        if (ready == -1) continue;
        std::size_t size = 0;
        std::uint32_t from = 0;
        std::uint16_t fromPort = 0;
        auto got = ready < 0 ? platform::UdpSocket::Receive::kError
                             : sockets[ready]->ReceiveFrom(buffer.data(), buffer.size(), size, from,
                                                           fromPort, 0);
        if (got == platform::UdpSocket::Receive::kError) {
            if (!failing) std::printf("Error in Receiving\n");
            failing = true;
            boost::this_thread::sleep_for(boost::chrono::milliseconds(kReceiveSliceMs));
            continue;
        }
        failing = false;
        if (got == platform::UdpSocket::Receive::kDatagram && size > 0)
            HandleDatagram(buffer.data(), size, from);
    }
}

void CSSDP_Discover::HandleDatagram(const char* data, std::size_t size, std::uint32_t sender) {
    const std::string senderText = platform::Ipv4Text(sender);
    for (const std::string& location : provision::DatagramLocations(data, size)) {
        provision::LocationParts parts;
        if (!provision::SplitLocation(location, parts) || KnownName(parts.hostPort)) continue;
        // Only the device itself is asked for its description.
        if (parts.host != senderText || FetchedRecently(location)) continue;
        std::string body, name;
        bool ok = m_fetch(location, body) && provision::DescriptionFriendlyName(body, name);
        m_fetched[location] = Clock::now() + (ok ? kFetchedHold : kFailedHold);
        if (ok) AddDevice(name, parts.host);
    }
}

bool CSSDP_Discover::KnownName(const std::string& text) const {
    boost::lock_guard<boost::mutex> lock(m_tableLock);
    return std::find(m_names.begin(), m_names.end(), text) != m_names.end();
}

bool CSSDP_Discover::FetchedRecently(const std::string& location) {
    const auto now = Clock::now();
    if (m_fetched.size() >= kFetchedMemory)
        std::erase_if(m_fetched, [now](const auto& entry) { return entry.second <= now; });
    auto it = m_fetched.find(location);
    return it != m_fetched.end() && it->second > now;
}

void CSSDP_Discover::AddDevice(const std::string& name, const std::string& host) {
    boost::lock_guard<boost::mutex> lock(m_tableLock);
    if (m_names.size() >= kMaxDevices ||
        std::find(m_names.begin(), m_names.end(), name) != m_names.end())
        return;
    m_names.push_back(name);
    m_devices.emplace_back(name, host);
}

std::size_t CSSDP_Discover::GetDeviceNames(std::vector<std::string>& names) const {
    boost::lock_guard<boost::mutex> lock(m_tableLock);
    names = m_names;
    return names.size();
}

bool CSSDP_Discover::GetDeviceAddress(const std::string& name, std::string& address) const {
    boost::lock_guard<boost::mutex> lock(m_tableLock);
    for (const auto& [n, host] : m_devices) {
        if (n == name) {
            address = host;
            return true;
        }
    }
    return false;
}
