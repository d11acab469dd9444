#pragma once
#include "platform/GlobalShortcuts.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace clipvane {

// What start-up knows before the GUI exists: the environment variables that pick Qt's platform.
struct DisplayEnvironment {
    QString qtPlatform;     // QT_QPA_PLATFORM
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString x11Display;     // DISPLAY
};

struct DisplayChoice {
    QString platform;     // the platform to ask Qt for; empty: leave Qt's own choice
    QString terminalNote; // said once on the terminal; empty: nothing to say
};

// On a Wayland desktop an ordinary client sees clipboard changes only while it has the focus. When the
// user has not chosen a platform and an X server (XWayland) answers, start on X11 so that capture keeps
// working; without one, start on Wayland. The probe is asked only when the answer matters.
DisplayChoice chooseDisplayPlatform(const DisplayEnvironment& env,
                                    const std::function<bool()>& xServerReachable);

// The status bar's note for a session on the given Qt platform; empty when clipboard watching works
// without the focus.
QString clipboardFocusNote(const QString& platformName);

// What the status bar says once about the tray menu's shortcuts, one note each; none when they all act
// for the whole desktop. taken: the shortcuts a grab was refused for (whoever holds one gets its presses, so
// it does nothing in Clipvane); ungrabbable: the desktop lets no program grab keys, so the shortcuts act only
// as the windows' own; xwaylandSession: on X11 through XWayland, where grabs reach Clipvane only while an X11
// window has the focus; desktop: how the desktop answered when asked to bind them (Bound: taken are the ones
// it left out).
QStringList
trayShortcutNotes(const QStringList& taken, bool ungrabbable, bool xwaylandSession,
                  GlobalShortcuts::DesktopAnswer desktop = GlobalShortcuts::DesktopAnswer::NotAsked);

} // namespace clipvane
