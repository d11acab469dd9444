// Pictures of the web update window and the About box, for the documentation. Not a test.
// Run by hand under an X server, from the source folder:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/default/tests/ui/update_screenshots docs
#include "AppFixture.h"
#include "FindControl.h"
#include "Screenshots.h"
#include "ui/About/AboutBox.h"
#include "ui/WebUpdate/UpdateWindow.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Themes.h"
#include "update/BuildInfo.h"
#include "update/WebUpdater.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

using namespace clipvane;
using clipvane::test::ctl;

namespace {

bool save(QWidget& w, const QString& name) {
    return test::savePicture(w.grab(), name);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(out + QStringLiteral("/web-update"));
    QDir().mkpath(out + QStringLiteral("/about"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    test::AppFixture f;
    ExternalAddresses a = ExternalAddresses::fromEnvironment();
    a.website = QStringLiteral("http://www.quorbel.example");
    f.addresses = a;
    f.connectivity.connected = true;
    f.machine.residentBytes = 48'213'504;
    f.http.replies[a.website + QStringLiteral("/Quorbel/Cvn.html")] = {
        true, 200, "<p>***version***</p>\r\n<p>" + localVersion().toLatin1() + "</p>\r\n"};
    f.startShown();

    UpdateWindow& u = *f.app().updateWindow();
    u.move(40, 40);
    u.show();
    QApplication::setActiveWindow(&u);
    if (!QTest::qWaitFor([&] { return ctl<QLabel>(u, "Label8")->text() == QLatin1String("Up to date"); },
                         5000))
        return 1;
    HintTracker::ShowHintInPanel(ctl<QToolButton>(u, "cyCheckUpdate"));
    test::settle();
    if (!save(u, out + QStringLiteral("/web-update/web-update.png")))
        return 1;
    u.hide();

    AboutBox& about = *f.app().aboutBox();
    about.move(40, 40);
    about.show();
    QApplication::setActiveWindow(&about);
    test::settle();
    HintTracker::ShowHintInPanel(ctl<QLabel>(about, "Label2"));
    test::settle();
    if (!save(about, out + QStringLiteral("/about/about.png")))
        return 1;

    // The same in a dark theme: the pictures take its ink.
    applyTheme(2);
    test::settle();
    if (!save(about, out + QStringLiteral("/about/about-dark.png")))
        return 1;
    about.hide();
    u.show();
    QApplication::setActiveWindow(&u);
    if (!QTest::qWaitFor([&] { return !u.updater().isBusy(); }, 5000))
        return 1;
    HintTracker::ShowHintInPanel(ctl<QToolButton>(u, "cyDownloadUpdate"));
    test::settle();
    return save(u, out + QStringLiteral("/web-update/web-update-dark.png")) ? 0 : 1;
}
