#include "SocketTable.h"

#include <cstddef>
#include <linux/tcp.h> // tcp_info with tcpi_bytes_received
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace clipvane {

curl_socket_t SocketTable::open(const curl_sockaddr& a, bool track) {
    const int fd = ::socket(a.family, a.socktype | SOCK_CLOEXEC, a.protocol);
    if (fd < 0)
        return CURL_SOCKET_BAD;
    if (track)
        m_ports[fd] = 0;
    return fd;
}

int SocketTable::close(curl_socket_t fd) {
    if (const auto it = m_ports.find(fd); it != m_ports.end()) {
        if (it->second)
            m_byPort.erase(it->second);
        m_ports.erase(it);
    }
    return ::close(fd);
}

int SocketTable::fdForLocalPort(quint16 port) {
    if (const auto it = m_byPort.find(port); it != m_byPort.end())
        return it->second;
    for (auto& [fd, known] : m_ports) {
        if (known)
            continue;
        sockaddr_storage a{};
        socklen_t len = sizeof a;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            continue;
        const quint16 p = a.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&a)->sin6_port)
                                                  : ntohs(reinterpret_cast<sockaddr_in*>(&a)->sin_port);
        if (p == 0)
            continue; // not connected yet
        known = p;
        m_byPort[p] = fd;
    }
    const auto it = m_byPort.find(port);
    return it == m_byPort.end() ? -1 : it->second;
}

quint64 bytesReceived(int fd) {
    tcp_info info{};
    socklen_t len = sizeof info;
    if (fd < 0 || ::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &len) != 0 ||
        len < socklen_t(offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received))
        return 0;
    return info.tcpi_bytes_received;
}

} // namespace clipvane
