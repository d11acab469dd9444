#include "LinuxPlatform.h"

#include "platform/linux/DesktopShell.h"
#include "platform/linux/LazyHttpClient.h"
#include "platform/linux/LazyWebViewFactory.h"
#include "platform/linux/LinuxConnectivity.h"
#include "platform/linux/LinuxDrives.h"
#include "platform/linux/LinuxLocalMachine.h"
#include "platform/linux/PortalGlobalShortcuts.h"
#include "platform/linux/QtClipboard.h"
#include "platform/linux/QtPrinting.h"
#include "platform/linux/QtTray.h"
#include "platform/linux/SystemHostResolver.h"
#include "platform/linux/XcbGlobalShortcuts.h"
#include "platform/linux/XdgDesktopShortcut.h"
#include "ui/widgets/QtDialogs.h"

#include <QCoreApplication>

namespace clipvane {

struct LinuxPlatform::Parts {
    QtClipboard clipboard;
    LinuxConnectivity connectivity;
    // Beside the executable, then its installed private library folder, then the build tree.
    LazyHttpClient http{LazyHttpClient::moduleFolders(QCoreApplication::applicationDirPath(),
                                                      QStringLiteral(CLIPVANE_MODULE_RELATIVE_DIR),
                                                      QStringLiteral(CLIPVANE_MODULE_DIR))};
    LazyWebViewFactory webViews{LazyHttpClient::moduleFolders(QCoreApplication::applicationDirPath(),
                                                              QStringLiteral(CLIPVANE_MODULE_RELATIVE_DIR),
                                                              QStringLiteral(CLIPVANE_MODULE_DIR))};
    SystemHostResolver resolver;
    LinuxLocalMachine machine;
    DesktopShell shell;
    QtTray tray;
    XdgDesktopShortcut desktopShortcut;
    QtPrinting printing;
    LinuxDrives drives;
    XcbGlobalShortcuts x11Shortcuts;
    // In a Wayland session the desktop portal may bind the shortcuts; the X11 grabs stand in until it has
    // answered, and for good where it has none or says no.
    std::unique_ptr<PortalGlobalShortcuts> portalShortcuts =
        PortalGlobalShortcuts::waylandSession(qEnvironmentVariable("WAYLAND_DISPLAY"),
                                              qEnvironmentVariable("XDG_SESSION_TYPE"))
            ? std::make_unique<PortalGlobalShortcuts>(&x11Shortcuts)
            : nullptr;
    QtDialogs dialogs;
};

LinuxPlatform::LinuxPlatform() : m(std::make_unique<Parts>()) {}
LinuxPlatform::~LinuxPlatform() = default;

void LinuxPlatform::onHttpUnavailable(std::function<void(const QString&, const QString&)> handler) {
    m->http.setUnavailableHandler(std::move(handler));
}

Services LinuxPlatform::services() const {
    Services s;
    s.addresses = ExternalAddresses::fromEnvironment();
    s.platform.clipboard = &m->clipboard;
    s.platform.connectivity = &m->connectivity;
    s.platform.http = &m->http;
    s.platform.resolver = &m->resolver;
    s.platform.machine = &m->machine;
    s.platform.shell = &m->shell;
    s.platform.tray = &m->tray;
    s.platform.desktopShortcut = &m->desktopShortcut;
    s.platform.printing = &m->printing;
    s.platform.drives = &m->drives;
    s.platform.webViews = &m->webViews;
    s.platform.globalShortcuts =
        m->portalShortcuts ? static_cast<GlobalShortcuts*>(m->portalShortcuts.get()) : &m->x11Shortcuts;
    s.platform.paths = AppPaths::forRunningProcess();
    s.dialogs = &m->dialogs;
    return s;
}

} // namespace clipvane
