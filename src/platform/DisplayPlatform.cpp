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

} // namespace clipvane
