#include "silent_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testutil {

SilentServer::SilentServer() : m_fd(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        listen(m_fd, 16) != 0 || getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("silent server: cannot listen on a loopback port");
    m_port = ntohs(addr.sin_port);
}

SilentServer::~SilentServer() {
    if (m_fd >= 0) close(m_fd);
}

std::string SilentServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

}  // namespace testutil
