#pragma once
#include <QKeySequence>
#include <QMap>
#include <QObject>

namespace clipvane {

// Key combinations that act for the whole desktop, also while every window of Clipvane is hidden.
class GlobalShortcuts : public QObject {
    Q_OBJECT
public:
    enum class Grab {
        Held,        // the combination now reaches Clipvane wherever the focus is
        Refused,     // another program holds it (or the desktop left it without keys)
        Unsupported, // the desktop offers no such grab (or the combination cannot be grabbed)
        Pending      // the desktop answers later: settled() follows
    };
    Q_ENUM(Grab)
    // How a desktop that binds shortcuts on request (its shortcut settings) answered.
    enum class DesktopAnswer {
        NotAsked, // no such service: key grabs alone
        Bound,    // it binds them; a grab it left out is Refused
        Refused,  // it answered with an error
        Declined, // the user did not allow them
        Silent    // no answer in time
    };
    Q_ENUM(DesktopAnswer)
    using Results = QMap<int, Grab>;

    using QObject::QObject;
    // Grabs the first combination of keys; activated(id) follows each press. name: stable across runs (the
    // desktop remembers the user's choice by it); description: what the desktop shows the user.
    virtual Grab grab(int id, const QKeySequence& keys, const QString& name, const QString& description) = 0;
    virtual void releaseAll() = 0;

signals:
    void activated(int id);
    // Once after grabs answered Pending: what each came to (never Pending) and what the desktop said.
    void settled(const clipvane::GlobalShortcuts::Results& results,
                 clipvane::GlobalShortcuts::DesktopAnswer answer);
};

} // namespace clipvane
