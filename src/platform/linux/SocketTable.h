#pragma once
#include <QtGlobal>
#include <curl/curl.h>
#include <unordered_map>

namespace clipvane {

// Which sockets of a multi handle are open, and the local port of each: a transfer finds the connection
// it runs on (new or reused) by its local port, so that the idle rule can see every byte the kernel
// received on it, header bytes included. Outlives the multi handle, whose cleanup closes pooled sockets.
class SocketTable {
public:
    curl_socket_t open(const curl_sockaddr& a, bool track);
    int close(curl_socket_t fd);
    int fdForLocalPort(quint16 port); // -1 when no open socket has that port

private:
    std::unordered_map<int, quint16> m_ports; // fd → local port (0 until known)
    std::unordered_map<quint16, int> m_byPort;
};

// Bytes the kernel has received on a TCP socket, TLS records and header bytes included.
quint64 bytesReceived(int fd);

} // namespace clipvane
