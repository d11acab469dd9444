#pragma once
#include "platform/DesktopShortcut.h"

namespace clipvane {

// A ".desktop" launcher in the desktop folder, marked executable so that file managers start it.
class XdgDesktopShortcut final : public DesktopShortcut {
public:
    // desktopFolder: where the launcher goes; empty means the user's desktop folder.
    explicit XdgDesktopShortcut(QString desktopFolder = QString());
    Result create(const ShortcutRequest& request) override;
    QString desktopFolder() const override;

    // The desktop folder as xdg-user-dir finds it: XDG_DESKTOP_DIR in user-dirs.dirs ("$HOME/..." or an
    // absolute path, the last line wins), else home/Desktop. Empty when it is home itself, which is how
    // that file turns a folder off.
    static QString xdgDesktopFolder(const QByteArray& userDirs, const QString& home);
    // The launcher's text, escaped as desktop entries require.
    static QByteArray desktopEntry(const ShortcutRequest& request);

private:
    QString m_folder;
};

} // namespace clipvane
