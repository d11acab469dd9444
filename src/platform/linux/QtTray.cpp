#include "QtTray.h"

#include <QApplication>
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

void QtTray::showBalloon(const QString& title, const QString& text) {
    m_icon->showMessage(title, text, QSystemTrayIcon::Information);
}

void QtTray::setContextMenu(QMenu* menu) {
    m_icon->setContextMenu(menu);
}

} // namespace clipvane
