#pragma once
#include <QString>
#include <optional>

namespace clipvane {

// Facts about this machine and this process.
class LocalMachine {
public:
    virtual ~LocalMachine() = default;
    // The machine's host name; empty when it cannot be read.
    virtual QString hostName() = 0;
    // The memory of this process held in RAM (its resident set), in bytes; nothing when it cannot be read.
    virtual std::optional<quint64> residentSetBytes() = 0;
};

} // namespace clipvane
