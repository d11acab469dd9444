// A picture of the validation report after a run, for the documentation. Not a test.
// Run by hand under an X server, from the source folder:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/default/tests/ui/report_screenshots docs/report-window
#include "AppFixture.h"
#include "FindControl.h"
#include "core/CheckListModel.h"
#include "ui/Main/MainWindow.h"
#include "ui/ValidateURLResult/ValidationReportWindow.h"
#include "validation/BatchValidation.h"
#include "validation/ValidationReport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

using namespace clipvane;
using clipvane::test::ctl;

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/report-window");
    QDir().mkpath(folder);
    test::AppFixture app;
    app.connectivity.connected = true;
    app.startShown();
    const QStringList urls = {"https://www.duckduckgo.com/?q=clipvane",
                              "docs.example.org/guide/install",
                              "https://news.example.net/2026/12/10/a-long-article-title-that-runs-on",
                              "http://old.example.com/gone",
                              "shop.example.io/cart?id=42",
                              "https://typo.exmaple.org/",
                              "https://www.example.com/",
                              "intranet/wiki"};
    const QStringList failing = {"http://old.example.com/gone", "https://typo.exmaple.org/",
                                 "http://intranet/wiki"};
    CheckListModel& list = app.main().list();
    list.replaceTexts(urls);
    for (const QString& u : urls) {
        const QString url = u.startsWith(QLatin1String("http")) ? u : QStringLiteral("http://") + u;
        app.http.statuses.insert(url, failing.contains(url) ? 404 : 200);
    }
    app.main().findChild<QToolButton*>(QStringLiteral("cyAdvSpeedButton2"))->click();
    app.main().findChild<QToolButton*>(QStringLiteral("cyValidateCheckedURL"))->click();
    ValidationReportWindow& report = *app.app().reportWindow();
    if (!QTest::qWaitFor([&] { return report.isVisible(); }, 5000))
        return 1;
    report.resize(820, 560);
    app.app().report()->valid().setTicked(1, true);
    app.app().report()->validTicksChanged();
    app.app().report()->invalid().setSelected(1);
    ctl<QLabel>(report, "HintPanel")
        ->setText(QStringLiteral("Valid URL list. Double click an item to navigate to this URL with "
                                 "the default browser"));
    QTest::qWait(300);
    const QString name = QDir(folder).filePath(QStringLiteral("report-after-run.png"));
    if (!report.grab().save(name))
        return 1;
    QTextStream(stdout) << name << '\n';
    return 0;
}
