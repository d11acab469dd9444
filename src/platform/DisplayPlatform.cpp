#include "DisplayPlatform.h"

namespace clipvane {

DisplayChoice chooseDisplayPlatform(const DisplayEnvironment& env,
                                    const std::function<bool()>& xServerReachable) {
    if (!env.qtPlatform.isEmpty() || env.waylandDisplay.isEmpty())
        return {};
    if (!env.x11Display.isEmpty() && xServerReachable && xServerReachable()) {
        return {QStringLiteral("xcb"),
                QStringLiteral(
                    "Clipvane: Wayland desktop detected; starting on X11 (XWayland) so that the clipboard "
                    "is watched while the window is hidden. Set QT_QPA_PLATFORM=wayland to start on "
                    "Wayland instead.")};
    }
    return {QStringLiteral("wayland"), {}};
}

QString clipboardFocusNote(const QString& platformName) {
    if (!platformName.startsWith(QLatin1String("wayland")))
        return {};
    return QStringLiteral(
        "On this Wayland desktop the clipboard is watched only while the Clipvane window has the focus.");
}

QStringList trayShortcutNotes(const QStringList& taken, bool ungrabbable, bool xwaylandSession,
                              GlobalShortcuts::DesktopAnswer desktop) {
    using Answer = GlobalShortcuts::DesktopAnswer;
    QStringList notes;
    if (desktop == Answer::Bound) {
        // The rest act wherever the focus is; these, left without keys, stay the windows' own.
        if (taken.size() == 1)
            notes << QStringLiteral(
                         "The desktop did not bind %1: it acts only while a Clipvane window is active.")
                         .arg(taken.first());
        else if (taken.size() > 1)
            notes << QStringLiteral("Not bound, only in Clipvane's windows: %1.")
                         .arg(taken.join(QLatin1String(", ")));
        return notes;
    }
    if (taken.size() == 1)
        notes
            << QStringLiteral("%1 is in use elsewhere on this desktop and not available.").arg(taken.first());
    else if (taken.size() > 1)
        notes << QStringLiteral("In use elsewhere, not available: %1.").arg(taken.join(QLatin1String(", ")));
    if (!ungrabbable && !xwaylandSession)
        return notes; // the grabs act everywhere, whatever the desktop said
    switch (desktop) {
    case Answer::Refused:
        notes << QStringLiteral("The desktop refused desktop-wide shortcuts for Clipvane.");
        break;
    case Answer::Declined:
        notes << QStringLiteral("Desktop-wide shortcuts for Clipvane were declined.");
        break;
    case Answer::Silent:
        notes << QStringLiteral("The desktop did not answer the request for desktop-wide shortcuts.");
        break;
    case Answer::NotAsked:
    case Answer::Bound:
        break;
    }
    if (ungrabbable)
        notes << QStringLiteral("The tray shortcuts act only while the Clipvane window is shown and one of "
                                "its windows is active.");
    else
        notes << QStringLiteral(
            "On Wayland the tray shortcuts act only while an X11 window, such as Clipvane's, has the focus.");
    return notes;
}

} // namespace clipvane
