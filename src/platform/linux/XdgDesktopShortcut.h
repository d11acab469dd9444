#pragma once
#include "platform/DesktopShortcut.h"

namespace clipvane {

// A ".desktop" launcher in the desktop folder, marked executable so that file managers start it.
class XdgDesktopShortcut final : public DesktopShortcut {
public:
    // desktopFolder: where the launcher goes; empty means the user's desktop folder.
    explicit XdgDesktopShortcut(QString desktopFolder = QString());
    Result create(const ShortcutRequest& request) override;

    QString desktopFolder() const;
    // The launcher's text, escaped as desktop entries require.
    static QByteArray desktopEntry(const ShortcutRequest& request);

private:
    QString m_folder;
};

} // namespace clipvane
