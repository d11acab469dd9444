#pragma once
#include "platform/LocalMachine.h"

namespace clipvane {

class LinuxLocalMachine final : public LocalMachine {
public:
    QString hostName() override;
    // From /proc/self/statm: resident pages times the page size.
    std::optional<quint64> residentSetBytes() override;
};

// The resident set in bytes from the text of /proc/self/statm ("size resident shared ..."), or nothing
// when the text is not that.
std::optional<quint64> residentBytesFromStatm(const QByteArray& statm, quint64 pageSize);

} // namespace clipvane
