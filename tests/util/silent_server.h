// A loopback port that takes connections and never answers: the kernel completes the
// handshake and holds what the client sends, so a request to it hangs until the client gives
// up. No thread of its own serves it.
#pragma once

#include <string>

namespace testutil {

class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    std::string BaseUrl() const;  // "http://127.0.0.1:PORT"

private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace testutil
