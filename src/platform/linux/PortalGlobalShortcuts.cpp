#include "PortalGlobalShortcuts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <functional>

namespace clipvane {
namespace {

// One entry of a(sa{sv}): a shortcut's name and its properties.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

QDBusConnection bus() {
    return QDBusConnection::sessionBus();
}

// Tokens need only be unique on this connection, which every instance in the process shares.
QString nextToken() {
    static int counter = 0;
    return QStringLiteral("clipvane%1").arg(++counter);
}

// Where the portal puts a Request made with this token: the caller's unique name without its colon, dots
// as underscores.
QString requestPathFor(const QString& token) {
    QString sender = bus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("%1/request/%2/%3").arg(kPath, sender, token);
}

bool timedOut(const QDBusMessage& reply) {
    const QDBusError::ErrorType type = QDBusError(reply).type();
    return type == QDBusError::NoReply || type == QDBusError::Timeout || type == QDBusError::TimedOut;
}

// Versions of the portal disagree on whether the session handle is a string or an object path.
QString pathText(const QVariant& value) {
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

} // namespace
} // namespace clipvane

Q_DECLARE_METATYPE(clipvane::PortalShortcut)

namespace clipvane {

bool PortalGlobalShortcuts::waylandSession(const QString& waylandDisplay, const QString& sessionType) {
    return !waylandDisplay.isEmpty() || sessionType == QLatin1String("wayland");
}

QString PortalGlobalShortcuts::triggerText(const QKeySequence& keys) {
    if (keys.isEmpty())
        return {};
    const QKeyCombination combination = keys[0];
    const int key = combination.key();
    QString name;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        name = QChar(u'a' + (key - Qt::Key_A)); // keysyms of letters are the unshifted ones
    else if (key >= Qt::Key_0 && key <= Qt::Key_9)
        name = QChar(u'0' + (key - Qt::Key_0));
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        name = QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    else {
        static const QMap<int, QString> named{
            {Qt::Key_Space, QStringLiteral("space")},
            {Qt::Key_Return, QStringLiteral("Return")},
            {Qt::Key_Escape, QStringLiteral("Escape")},
            {Qt::Key_Tab, QStringLiteral("Tab")},
            {Qt::Key_Backspace, QStringLiteral("BackSpace")},
            {Qt::Key_Delete, QStringLiteral("Delete")},
            {Qt::Key_Insert, QStringLiteral("Insert")},
            {Qt::Key_Home, QStringLiteral("Home")},
            {Qt::Key_End, QStringLiteral("End")},
            {Qt::Key_PageUp, QStringLiteral("Page_Up")},
            {Qt::Key_PageDown, QStringLiteral("Page_Down")},
            {Qt::Key_Left, QStringLiteral("Left")},
            {Qt::Key_Right, QStringLiteral("Right")},
            {Qt::Key_Up, QStringLiteral("Up")},
            {Qt::Key_Down, QStringLiteral("Down")},
            {Qt::Key_Print, QStringLiteral("Print")},
        };
        name = named.value(key);
    }
    if (name.isEmpty())
        return {};
    QStringList parts;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("LOGO");
    parts << name;
    return parts.join(QLatin1Char('+'));
}

PortalGlobalShortcuts::PortalGlobalShortcuts(GlobalShortcuts* fallback, QObject* parent)
    : GlobalShortcuts(parent), m_fallback(fallback) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(DesktopAnswer::Silent); });
    if (m_fallback)
        connect(m_fallback, &GlobalShortcuts::activated, this, &GlobalShortcuts::activated);
}

PortalGlobalShortcuts::~PortalGlobalShortcuts() {
    // A message sent, not a call: exit never waits for the portal.
    closeSession();
}

GlobalShortcuts::Grab PortalGlobalShortcuts::grab(int id, const QKeySequence& keys, const QString& name,
                                                  const QString& description) {
    const auto fallbackGrab = [&] {
        return m_fallback ? m_fallback->grab(id, keys, name, description) : Grab::Unsupported;
    };
    switch (m_stage) {
    case Stage::Fallback:
        return fallbackGrab();
    case Stage::Binding:
    case Stage::Bound:
        return Grab::Unsupported;
    case Stage::Idle:
        // Start-up grabs come one after another: they are bound together, from the event loop.
        m_stage = Stage::Version;
        QTimer::singleShot(0, this, [this, round = m_round] {
            if (round == m_round)
                askVersion();
        });
        break;
    case Stage::Version:
    case Stage::Session:
        break;
    }
    m_wanted.push_back({id, name, description, triggerText(keys), fallbackGrab()});
    return Grab::Pending;
}

void PortalGlobalShortcuts::releaseAll() {
    ++m_round;
    m_deadline.stop();
    stopExpecting();
    closeSession();
    if (m_stage == Stage::Bound)
        bus().disconnect(m_portal, kPath, kInterface, QStringLiteral("Activated"), this,
                         SLOT(onActivated(QDBusMessage)));
    m_stage = Stage::Idle;
    m_wanted.clear();
    m_portal.clear();
    if (m_fallback)
        m_fallback->releaseAll();
}

void PortalGlobalShortcuts::setTimeouts(int answerMs, int decisionMs) {
    m_answerMs = answerMs;
    m_decisionMs = decisionMs;
}

void PortalGlobalShortcuts::watchReply(const QDBusPendingCall& call,
                                       std::function<void(const QDBusMessage&)> onReply) {
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, round = m_round, onReply = std::move(onReply)] {
                watcher->deleteLater();
                if (round == m_round)
                    onReply(watcher->reply());
            });
}

void PortalGlobalShortcuts::askVersion() {
    if (!bus().isConnected()) {
        finish(DesktopAnswer::NotAsked);
        return;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    watchReply(bus().asyncCall(get, m_answerMs), [this](const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage) {
            // No portal, or one without the interface: the grabs as they are. One that never answers
            // has not said no.
            finish(timedOut(reply) ? DesktopAnswer::Silent : DesktopAnswer::NotAsked);
            return;
        }
        const QVariant version = reply.arguments().value(0).value<QDBusVariant>().variant();
        if (version.toUInt() == 0) {
            finish(DesktopAnswer::NotAsked);
            return;
        }
        // Signals are matched on the unique name: a well-known one would make QtDBus ask the bus for its
        // owner and wait.
        m_portal = reply.service();
        createSession();
    });
}

void PortalGlobalShortcuts::expectResponse(const QString& requestPath) {
    stopExpecting();
    m_requestPath = requestPath;
    bus().connect(m_portal, m_requestPath, kRequest, QStringLiteral("Response"), this,
                  SLOT(onResponse(QDBusMessage)));
}

void PortalGlobalShortcuts::stopExpecting() {
    if (m_requestPath.isEmpty())
        return;
    bus().disconnect(m_portal, m_requestPath, kRequest, QStringLiteral("Response"), this,
                     SLOT(onResponse(QDBusMessage)));
    m_requestPath.clear();
}

void PortalGlobalShortcuts::request(const QString& method, const QVariantList& arguments,
                                    const QString& token, int waitMs) {
    // Listening before the call: the Response may come before the reply does.
    expectResponse(requestPathFor(token));
    m_deadline.start(waitMs);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(arguments);
    watchReply(bus().asyncCall(call, m_answerMs),
               [this, expected = m_requestPath](const QDBusMessage& reply) {
                   if (m_requestPath != expected)
                       return; // answered already
                   if (reply.type() != QDBusMessage::ReplyMessage) {
                       finish(timedOut(reply) ? DesktopAnswer::Silent : DesktopAnswer::Refused);
                       return;
                   }
                   // An older portal may pick the Request's path itself.
                   const QString handle = reply.arguments().value(0).value<QDBusObjectPath>().path();
                   if (!handle.isEmpty() && handle != expected)
                       expectResponse(handle);
               });
}

void PortalGlobalShortcuts::createSession() {
    m_stage = Stage::Session;
    const QString token = nextToken();
    const QVariantMap options{{QStringLiteral("handle_token"), token},
                              {QStringLiteral("session_handle_token"), nextToken()}};
    request(QStringLiteral("CreateSession"), {options}, token, m_answerMs);
}

void PortalGlobalShortcuts::bindShortcuts() {
    m_stage = Stage::Binding;
    QList<PortalShortcut> shortcuts;
    for (const Wanted& w : m_wanted) {
        QVariantMap properties{{QStringLiteral("description"), w.description}};
        if (!w.trigger.isEmpty())
            properties.insert(QStringLiteral("preferred_trigger"), w.trigger);
        shortcuts.append({w.name, properties});
    }
    const QString token = nextToken();
    const QVariantMap options{{QStringLiteral("handle_token"), token}};
    // No parent window: the desktop places its question itself. The user may take a while over it.
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_sessionPath)), QVariant::fromValue(shortcuts), QString(),
             options},
            token, m_decisionMs);
}

void PortalGlobalShortcuts::onResponse(const QDBusMessage& message) {
    if (message.path() != m_requestPath)
        return;
    const QList<QVariant> arguments = message.arguments();
    const uint response = arguments.value(0).toUInt();
    const QVariantMap results = qdbus_cast<QVariantMap>(arguments.value(1));
    m_deadline.stop();
    stopExpecting();
    // 1: the user cancelled; anything else is an error.
    if (arguments.size() < 2 || response != 0) {
        finish(response == 1 ? DesktopAnswer::Declined : DesktopAnswer::Refused);
        return;
    }
    if (m_stage == Stage::Session) {
        m_sessionPath = pathText(results.value(QStringLiteral("session_handle")));
        if (m_sessionPath.isEmpty()) {
            finish(DesktopAnswer::Refused);
            return;
        }
        bindShortcuts();
        return;
    }
    if (m_stage != Stage::Binding)
        return;
    // What the desktop bound; without a list, all of them.
    QSet<QString> bound;
    if (results.contains(QStringLiteral("shortcuts"))) {
        const auto list = qdbus_cast<QList<PortalShortcut>>(results.value(QStringLiteral("shortcuts")));
        for (const PortalShortcut& s : list)
            bound.insert(s.id);
    } else {
        for (const Wanted& w : m_wanted)
            bound.insert(w.name);
    }
    finish(DesktopAnswer::Bound, bound);
}

void PortalGlobalShortcuts::onActivated(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (m_stage != Stage::Bound || arguments.size() < 2 || pathText(arguments.at(0)) != m_sessionPath)
        return;
    const QString name = arguments.at(1).toString();
    for (const Wanted& w : m_wanted) {
        if (w.name == name) {
            emit activated(w.id);
            return;
        }
    }
}

void PortalGlobalShortcuts::closeSession() {
    if (m_sessionPath.isEmpty())
        return;
    bus().send(QDBusMessage::createMethodCall(
        kService, m_sessionPath, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
    m_sessionPath.clear();
}

void PortalGlobalShortcuts::finish(DesktopAnswer answer, const QSet<QString>& bound) {
    m_deadline.stop();
    stopExpecting();
    Results results;
    if (answer == DesktopAnswer::Bound) {
        m_stage = Stage::Bound;
        // The portal delivers every press now; a grab kept beside it would act a second time.
        if (m_fallback)
            m_fallback->releaseAll();
        bus().connect(m_portal, kPath, kInterface, QStringLiteral("Activated"), this,
                      SLOT(onActivated(QDBusMessage)));
        for (const Wanted& w : m_wanted)
            results.insert(w.id, bound.contains(w.name) ? Grab::Held : Grab::Refused);
    } else {
        m_stage = Stage::Fallback;
        closeSession();
        for (const Wanted& w : m_wanted)
            results.insert(w.id, w.fallback);
    }
    emit settled(results, answer);
}

} // namespace clipvane
