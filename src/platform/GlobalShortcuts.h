#pragma once
#include <QKeySequence>
#include <QObject>

namespace clipvane {

// Key combinations that act for the whole desktop, also while every window of Clipvane is hidden.
class GlobalShortcuts : public QObject {
    Q_OBJECT
public:
    enum class Grab {
        Held,       // the combination now reaches Clipvane wherever the focus is
        Refused,    // another program holds it
        Unsupported // the desktop offers no such grab (or the combination cannot be grabbed)
    };
    using QObject::QObject;
    // Grabs the first combination of keys; activated(id) follows each press.
    virtual Grab grab(int id, const QKeySequence& keys) = 0;
    virtual void releaseAll() = 0;

signals:
    void activated(int id);
};

} // namespace clipvane
