// Build tool: writes the menu entry with the same routine as the options page's desktop shortcut.
//   clipvane_desktop_entry <output file> <installed executable> <icon name>
#include "platform/linux/DesktopEntry.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr,
                     "usage: clipvane_desktop_entry <output file> <installed executable> <icon name>\n");
        return 2;
    }
    clipvane::DesktopEntryFields f;
    f.name = QStringLiteral("Clipvane");
    f.genericName = QStringLiteral("Clipboard URL Collector");
    f.comment = QStringLiteral("Collect and check the web addresses you copy");
    f.program = args.at(2);
    f.icon = args.at(3);
    f.keywords = QStringLiteral("clipboard;URL;link;web address;bookmark;");
    f.startupWmClass = QStringLiteral("Clipvane");
    QSaveFile out(args.at(1));
    if (!out.open(QIODevice::WriteOnly) || out.write(clipvane::desktopEntryText(f)) < 0 || !out.commit()) {
        std::fprintf(stderr, "clipvane_desktop_entry: cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
