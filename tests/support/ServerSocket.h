#pragma once
#include <QByteArray>
#include <QtGlobal>

namespace clipvane::test {

// A non-blocking listening socket on an IPv4 address (host order); port 0 picks a free one and returns it
// in `port`. -1 when the address cannot be had.
int listenOn(quint32 address, quint16& port, int backlog);

// The reason phrase a status line carries; "Scripted" for codes the servers have no phrase for.
QByteArray reasonPhrase(int status);

} // namespace clipvane::test
