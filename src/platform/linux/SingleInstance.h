#pragma once
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace clipvane {

// One Clipvane a data folder. The first launch for a folder holds a lock on it (the kernel releases it when
// the process ends, however it ends) and listens on a local socket named after the folder; a later launch
// finds the lock taken and asks the first, through that socket, to show its main window. A socket left by
// a copy that crashed is taken over by the next first launch.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True for the launch that holds the folder (also when no lock can be had at all: a launch is never
    // refused for want of a runtime folder).
    bool isFirst() const { return m_first; }
    // From a later launch: asks the first to show its main window; waits up to timeoutMs for it to listen.
    // False when it could not be reached.
    bool askFirstToShow(int timeoutMs = 5000) const;

    // The socket and lock of a folder: in $XDG_RUNTIME_DIR, else the temporary folder, named after the
    // folder's canonical path and the user.
    static QString socketPath(const QString& dataFolder);
    static QString lockPath(const QString& dataFolder);

signals:
    void showRequested();

private:
    void accept();

    QString m_socketPath;
    int m_lockFd = -1;
    int m_listenFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    bool m_first = true;
};

} // namespace clipvane
