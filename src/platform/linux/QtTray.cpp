#include "QtTray.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QSystemTrayIcon>

namespace clipvane {

QtTray::QtTray(QObject* parent) : Tray(parent), m_icon(new QSystemTrayIcon(this)) {
    m_icon->setToolTip(QStringLiteral("Clipvane"));
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        // Many Linux trays deliver a single click only; treat it as the restore gesture too.
        if (r == QSystemTrayIcon::DoubleClick || r == QSystemTrayIcon::Trigger)
            emit doubleClicked();
    });
}

bool QtTray::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::setVisible(bool visible) {
    // The icon is the application's, set once the windows exist (this object is made before them).
    if (visible && m_icon->icon().isNull())
        m_icon->setIcon(QApplication::windowIcon());
    m_icon->setVisible(visible);
}

bool QtTray::isVisible() const {
    return m_icon->isVisible();
}

namespace {

// Qt hands balloons to the desktop's notification service when a status-notifier host is registered
// (the same test Qt makes), and draws its own plain-text balloon otherwise.
bool notificationsShowBalloons() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(watcher))
        return false;
    QDBusInterface props(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
    return props.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace

QString QtTray::balloonBody(const QString& text, bool markupInterpreted) {
    return markupInterpreted ? text.toHtmlEscaped() : text;
}

void QtTray::showBalloon(const QString& title, const QString& text) {
    m_icon->showMessage(title, balloonBody(text, notificationsShowBalloons()), QSystemTrayIcon::Information);
}

void QtTray::setContextMenu(QMenu* menu) {
    m_icon->setContextMenu(menu);
}

} // namespace clipvane
