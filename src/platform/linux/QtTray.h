#pragma once
#include "platform/Tray.h"

class QSystemTrayIcon;

namespace clipvane {

class QtTray final : public Tray {
    Q_OBJECT
public:
    explicit QtTray(QObject* parent = nullptr);
    bool isAvailable() const override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    void showBalloon(const QString& title, const QString& text) override;
    void setContextMenu(QMenu* menu) override;

    // The balloon's body as handed to the toolkit: where the desktop's notification service shows it,
    // body markup (links, pictures) would be interpreted, so the text is escaped there; Qt's own
    // balloon shows plain text already.
    static QString balloonBody(const QString& text, bool markupInterpreted);

private:
    QSystemTrayIcon* m_icon;
};

} // namespace clipvane
