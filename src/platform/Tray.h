#pragma once
#include <QObject>
#include <QString>

class QMenu;

namespace clipvane {

// The notification-area icon with its balloon and context menu.
class Tray : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool isAvailable() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual void showBalloon(const QString& title, const QString& text) = 0;
    virtual void setContextMenu(QMenu* menu) = 0;

signals:
    void doubleClicked();
};

} // namespace clipvane
