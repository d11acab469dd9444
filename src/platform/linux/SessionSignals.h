#pragma once
#include <QObject>

class QSocketNotifier;

namespace clipvane {

// SIGTERM (the desktop ending the session, `kill`), SIGHUP (the terminal closed) and SIGINT (Ctrl+C on the
// terminal) become one queued signal on the GUI thread, so that the application ends through its usual
// close steps and their saves. Those steps never wait for a person; should anything still hold them up,
// the process ends 4 seconds after the signal all the same.
class SessionSignals final : public QObject {
    Q_OBJECT
public:
    explicit SessionSignals(QObject* parent = nullptr);
    ~SessionSignals() override;

signals:
    void endRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

// Whether an X server answers on the display named (DISPLAY's syntax); the start-up probe for XWayland.
bool xServerReachable(const QString& display);

} // namespace clipvane
