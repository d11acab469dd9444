#include "SystemHostResolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

namespace clipvane {

QString SystemHostResolver::resolveIPv4(const QString& host) {
    const QByteArray name = host.toUtf8();
    // Names the resolver would reject or choke on are not handed to it.
    if (name.isEmpty() || name.size() > 253 || name.contains('\0'))
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(name.constData(), nullptr, &hints, &result) != 0 || !result)
        return {};
    char text[INET_ADDRSTRLEN] = {};
    const auto* addr = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
    const bool ok = ::inet_ntop(AF_INET, &addr->sin_addr, text, sizeof text) != nullptr;
    ::freeaddrinfo(result);
    return ok ? QString::fromLatin1(text) : QString();
}

} // namespace clipvane
