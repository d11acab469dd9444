#pragma once
#include "AppPaths.h"

namespace clipvane {

class Clipboard;
class DesktopShortcut;
class GlobalShortcuts;
class Connectivity;
class Drives;
class HttpClient;
class HostResolver;
class LocalMachine;
class Printing;
class Shell;
class Tray;
class WebViewFactory;

// Every OS service the system uses, behind an interface. The composition root fills it with the
// Linux implementations; tests fill it with doubles. Not owned here.
struct PlatformServices {
    Clipboard* clipboard = nullptr;
    Connectivity* connectivity = nullptr;
    HttpClient* http = nullptr;
    HostResolver* resolver = nullptr;
    LocalMachine* machine = nullptr;
    Shell* shell = nullptr;
    Tray* tray = nullptr;
    DesktopShortcut* desktopShortcut = nullptr;
    Printing* printing = nullptr;
    Drives* drives = nullptr;
    WebViewFactory* webViews = nullptr;         // the integrated browser's page views
    GlobalShortcuts* globalShortcuts = nullptr; // none: the window shortcuts alone
    AppPaths paths{QString(), QString()};
};

} // namespace clipvane
