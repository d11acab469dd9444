#pragma once
#include <QString>

namespace clipvane {

// Where an accepted capture is recorded (the Capture History table).
class HistoryRecorder {
public:
    virtual ~HistoryRecorder() = default;
    virtual void recordCapture(const QString& url) = 0;
};

} // namespace clipvane
