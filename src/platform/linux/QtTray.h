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

private:
    QSystemTrayIcon* m_icon;
};

} // namespace clipvane
