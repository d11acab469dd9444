// Pictures of the main window with a list and of the tray menu, for the documentation. Not a test.
// Run by hand under an X server, from the source folder:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/default/tests/ui/main_screenshots docs/main-window
#include "AppFixture.h"
#include "FindControl.h"
#include "Screenshots.h"
#include "ui/Main/MainWindow.h"
#include "ui/widgets/Hints.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

using clipvane::test::ctl;

using namespace clipvane;

namespace {

bool save(const QPixmap& pixmap, const QString& name) {
    return test::savePicture(pixmap, name);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/main-window");
    QDir().mkpath(out);

    test::AppFixture f;
    f.startShown();
    MainWindow& m = f.main();
    m.move(0, 0);
    f.acceptOffline(); // no network here: captures are taken on their form
    for (const char* url : {"https://docs.example.net/guide", "www.example.edu/courses",
                            "https://news.example.com/2024/05/article?id=42", "http://www.example.org/",
                            "ftp.example.com/pub/readme.txt"})
        f.clipboard.copy(QString::fromLatin1(url));
    m.list().setTicked(1, true);
    m.list().setTicked(3, true);
    m.list().setSelected(2);
    m.CheckListBoxURLClickCheck();
    m.setStatusPanelText(6, QStringLiteral("203.0.113.27"));
    QApplication::setActiveWindow(&m);
    test::settle();
    HintTracker::ShowHintInPanel(ctl<QToolButton>(m, "cyAdvSpeedButton6"));
    test::settle();
    if (!save(m.grab(), out + QStringLiteral("/main-window.png")))
        return 1;

    // The tray menu with its "Clipboard" submenu open, drawn as the desktop places them.
    ctl<QMenu>(m, "PopupMenu1")->popup(QPoint(20, 20));
    test::settle();
    const QRect item = ctl<QMenu>(m, "PopupMenu1")->actionGeometry(ctl<QMenu>(m, "Clipboard1")->menuAction());
    ctl<QMenu>(m, "PopupMenu1")->setActiveAction(ctl<QMenu>(m, "Clipboard1")->menuAction());
    ctl<QMenu>(m, "Clipboard1")
        ->popup(ctl<QMenu>(m, "PopupMenu1")
                    ->mapToGlobal(QPoint(ctl<QMenu>(m, "PopupMenu1")->width() - 4, item.top())));
    test::settle();
    // Above them, a panel with the tray icon the menu belongs to.
    const int panel = 30;
    const QRect both = ctl<QMenu>(m, "PopupMenu1")
                           ->geometry()
                           .united(ctl<QMenu>(m, "Clipboard1")->geometry())
                           .adjusted(-12, -12 - panel, 12, 12);
    QPixmap screen(both.size());
    screen.fill(QColor(0x5a, 0x6f, 0x86)); // a plain desktop
    QPainter p(&screen);
    p.fillRect(0, 0, screen.width(), panel, QColor(0x2b, 0x2f, 0x36));
    p.drawPixmap(ctl<QMenu>(m, "PopupMenu1")->x() - both.x() + 6, 4,
                 QApplication::windowIcon().pixmap(QSize(22, 22)));
    for (QMenu* menu : {ctl<QMenu>(m, "PopupMenu1"), ctl<QMenu>(m, "Clipboard1")})
        p.drawPixmap(menu->geometry().topLeft() - both.topLeft(), menu->grab());
    p.end();
    if (!save(screen, out + QStringLiteral("/tray-menu.png")))
        return 1;
    return 0;
}
