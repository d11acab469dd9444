#pragma once
#include <QString>
#include <optional>

namespace clipvane {

class HostResolver;

// The host of a URL: after the first "://", up to "?" (or "#" when there is no "?") and the first "/",
// without user information and port; an IPv6 literal without its brackets. Empty without "://".
QString ExtractHost(const QString& url);

// The Domain column: the text after the first dot for a host starting with "www" (lower case), else the host.
QString DomainOfHost(const QString& host);

// The address of a host that needs no name server: "127.0.0.1" for "LOCALHOST" (any case), a dotted IPv4
// address as it is. Nothing for every other host.
std::optional<QString> addressWithoutLookup(const QString& host);

// The name the resolver is asked for: the host's ASCII (IDNA) form, the empty host as it is. Nothing when
// no host can have that name (spaces, control characters, over-long names or labels).
std::optional<QString> resolverNameOf(const QString& host);

// The IPv4 address of a host: without a lookup where none is needed, else the resolver's answer for
// resolverNameOf(host). Empty text when there is no IPv4 address.
QString ResolveHostIPv4(const QString& host, HostResolver& resolver);

} // namespace clipvane
