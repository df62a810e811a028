// The bounded GET of a device description: one silent or endless device must not hold
// discovery up, and a datagram must not make the tool fetch anything but a small HTTP page
// straight from the device.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class CurlEasy;

namespace provision {

struct FetchLimits {
    long timeoutMs = 3000;  // the whole transfer
    long connectTimeoutMs = 2000;
    std::size_t maxBytes = 64 * 1024;
};

// Fetches plain-HTTP URLs one at a time on one connection cache; no proxy (the device is on
// the local network), no redirects, no other protocol. Used by one thread at a time.
class DescriptionFetcher {
public:
    explicit DescriptionFetcher(FetchLimits limits = {});
    ~DescriptionFetcher();

    // The body of a 200 answer within the limits; false for anything else.
    bool Fetch(const std::string& url, std::string& body);

private:
    FetchLimits m_limits;
    std::unique_ptr<CurlEasy> m_handle;
};

}  // namespace provision
