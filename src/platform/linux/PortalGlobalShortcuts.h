#pragma once
#include "platform/GlobalShortcuts.h"

#include <QSet>
#include <QTimer>
#include <functional>
#include <vector>

class QDBusMessage;
class QDBusPendingCall;

namespace clipvane {

// Desktop-wide shortcuts through the desktop portal's GlobalShortcuts interface on the session bus: the
// desktop binds them (asking the user as it sees fit) and reports each activation wherever the focus is.
// Grabs go to the fallback at once, as on a desktop without the portal, and answer Pending. From the event
// loop the portal is asked for the interface's version, a session is created and the shortcuts bound, each
// step awaited without blocking. settled() tells the outcome once: bound (the fallback's grabs are released,
// so no press acts twice), or the fallback's results with why the portal did not bind them.
class PortalGlobalShortcuts final : public GlobalShortcuts {
    Q_OBJECT
public:
    // A Wayland session, where the portal is worth asking: WAYLAND_DISPLAY, XDG_SESSION_TYPE.
    static bool waylandSession(const QString& waylandDisplay, const QString& sessionType);
    // The trigger in the notation of the desktop's shortcut settings ("CTRL+ALT+c"); empty for a key it has
    // no name for here (the desktop then asks the user).
    static QString triggerText(const QKeySequence& keys);

    explicit PortalGlobalShortcuts(GlobalShortcuts* fallback, QObject* parent = nullptr);
    ~PortalGlobalShortcuts() override;
    // Pending until the portal has answered; once it has, later grabs are the fallback's (Unsupported
    // while the portal holds a bound session: it binds once a session).
    Grab grab(int id, const QKeySequence& keys, const QString& name, const QString& description) override;
    void releaseAll() override;

    // How long the portal's own answers (replies, the session's creation) and the user's decision on the
    // binding may take before the desktop counts as silent.
    void setTimeouts(int answerMs, int decisionMs);

private slots:
    // QtDBus delivers bus signals to slots named by their signature.
    void onResponse(const QDBusMessage& message);
    void onActivated(const QDBusMessage& message);

private:
    enum class Stage { Idle, Version, Session, Binding, Bound, Fallback };
    struct Wanted {
        int id;
        QString name;
        QString description;
        QString trigger;
        Grab fallback;
    };
    void askVersion();
    void createSession();
    void bindShortcuts();
    // Sends a portal call and arms the wait for its Request's Response; a failed call settles as refused.
    void request(const QString& method, const QVariantList& arguments, const QString& token, int waitMs);
    void watchReply(const QDBusPendingCall& call, std::function<void(const QDBusMessage&)> onReply);
    void expectResponse(const QString& requestPath);
    void stopExpecting();
    void closeSession();
    void finish(DesktopAnswer answer, const QSet<QString>& bound = {});

    GlobalShortcuts* m_fallback;
    Stage m_stage = Stage::Idle;
    std::vector<Wanted> m_wanted;
    QString m_portal;      // the unique bus name that answered for the portal
    QString m_requestPath; // the Request whose Response is awaited
    QString m_sessionPath;
    QTimer m_deadline;
    int m_answerMs = 10000;
    int m_decisionMs = 180000;
    int m_round = 0; // answers of an earlier round (before releaseAll) are ignored
};

} // namespace clipvane
