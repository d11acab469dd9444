#include "platform/linux/QtPrinting.h"

#include <QPainter>
#include <QPrinterInfo>
#include <QTest>

using namespace clipvane;

class TstQtPrinting : public QObject {
    Q_OBJECT
private slots:
    // Without a default printer the job is refused with a reason, and nothing is drawn.
    void noDefaultPrinter() {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a default printer");
        QtPrinting printing;
        QString error;
        bool drawn = false;
        QVERIFY(!printing.printOnDefaultPrinter(
            "job", [&](QPainter&) { drawn = true; }, error));
        QVERIFY(!drawn);
        QVERIFY(error.contains("no default printer"));
    }
};

QTEST_MAIN(TstQtPrinting)
#include "tst_qtprinting.moc"
