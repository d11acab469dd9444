// Pictures of the main window in each theme, for the documentation: the capture tab beside the options tab.
// Not a test. Run by hand under an X server, from the source folder:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/default/tests/ui/theme_screenshots docs/themes
#include "AppFixture.h"
#include "FindControl.h"
#include "ui/Main/MainWindow.h"
#include "ui/widgets/Themes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QTabWidget>
#include <QTextStream>

using clipvane::test::ctl;

using namespace clipvane;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/themes");
    QDir().mkpath(out);

    test::AppFixture f;
    f.startShown();
    MainWindow& m = f.main();
    m.list().replaceTexts({QStringLiteral("http://www.example.org/"),
                           QStringLiteral("https://docs.example.net/guide"),
                           QStringLiteral("https://news.example.com/2024/05/article?id=42"),
                           QStringLiteral("www.example.edu/courses")});
    m.list().setTicked(1, true);
    m.list().setSelected(2);
    m.CheckListBoxURLClickCheck();
    m.setStatusPanelText(1, QStringLiteral("Modified"));
    ctl<QCheckBox>(m, "CBOValidateChecked")->setChecked(true);
    ctl<QCheckBox>(m, "CBSaveHistory")->setChecked(true);
    m.activateWindow();
    QApplication::setActiveWindow(&m);

    const QStringList entries = themeEntries();
    for (int i = 0; i < entries.size(); ++i) {
        ctl<QComboBox>(m, "CBBTheme")->setCurrentIndex(i);
        m.CBBThemeChange();
        ctl<QTabWidget>(m, "PageControl1")->setCurrentIndex(0);
        QCoreApplication::processEvents();
        const QPixmap capture = m.grab();
        ctl<QTabWidget>(m, "PageControl1")->setCurrentIndex(1);
        ctl<QLineEdit>(m, "Edit1")->setFocus(); // shows the focus frame
        QCoreApplication::processEvents();
        const QPixmap options = m.grab();

        const int gap = 12;
        QPixmap both(capture.width() + gap + options.width(), qMax(capture.height(), options.height()));
        both.fill(Qt::white);
        QPainter p(&both);
        p.drawPixmap(0, 0, capture);
        p.drawPixmap(capture.width() + gap, 0, options);
        p.end();
        const QString name =
            QStringLiteral("%1/%2-%3.png").arg(out).arg(i).arg(entries[i].toLower().replace(u' ', u'-'));
        if (!both.save(name)) {
            QTextStream(stderr) << "Cannot write " << name << '\n';
            return 1;
        }
        QTextStream(stdout) << name << '\n';
    }
    return 0;
}
