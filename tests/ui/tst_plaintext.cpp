// Copied and read texts are data: every message box, label, balloon and status text shows them as
// written, never as rich text with live links.
#include "AppFixture.h"
#include "FindControl.h"
#include "history/HistoryTable.h"
#include "platform/linux/QtTray.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/SetBrowser/BrowserChoiceWindow.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

using namespace clipvane;
using namespace clipvane::test;

namespace {

void richTexts() {
    QTest::addColumn<QString>("text");
    QTest::newRow("link to a local file") << "<a href='file:///etc/hostname'>click me</a>";
    QTest::newRow("bold") << "<b>bold</b> text";
    QTest::newRow("picture") << "<img src=\"file:///etc/passwd\">";
    QTest::newRow("qt tag") << "<qt>x</qt>";
    QTest::newRow("entity") << "a &amp; b &lt;c&gt;";
    QTest::newRow("javascript link") << "<a href=\"javascript:alert(1)\">x</a>";
}

} // namespace

class TstPlainText : public QObject {
    Q_OBJECT
private slots:
    // The real dialogs service: the box's text is plain, whatever it looks like.
    void messageBoxes_data() { richTexts(); }
    void messageBoxes() {
        QFETCH(QString, text);
        QtDialogs dialogs;
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->textFormat(), Qt::PlainText);
            for (QLabel* label : box->findChildren<QLabel*>()) {
                if (label->text() == text) {
                    seen = true;
                    QCOMPARE(label->textFormat(), Qt::PlainText);
                }
            }
            box->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(dialogs.message(MessageKind::Information, text, Buttons::Ok), Answer::Ok);
        QVERIFY(seen);
    }

    // The labels that show data in the windows: status panels, hint panels, the chosen browser's name.
    void windowLabels_data() { richTexts(); }
    void windowLabels() {
        QFETCH(QString, text);
        AppFixture app;
        app.startShown();
        CaptureHistoryWindow& history = *app.app().captureHistoryWindow();
        app.app().history()->AddHistoryEntry(text);
        ctl<HistoryGrid>(history, "SGHistory")->setCurrentIndex(app.app().history()->index(1, 2));
        QCOMPARE(history.statusPanelText(4), text);

        QList<QLabel*> labels;
        for (QWidget* window : QList<QWidget*>{&app.main(), &history, app.app().browserChoiceWindow()}) {
            for (QStatusBar* bar : window->findChildren<QStatusBar*>())
                labels += bar->findChildren<QLabel*>();
            if (auto* hint = window->findChild<QLabel*>(QStringLiteral("HintPanel"))) {
                window->show();
                QApplication::setActiveWindow(window);
                setHint(hint, "|" + text);
                HintTracker::ShowHintInPanel(hint);
                QCOMPARE(hint->text(), text);
                labels.append(hint);
            }
        }
        labels.append(app.app().browserChoiceWindow()->findChild<QLabel*>(QStringLiteral("LabelEXE")));
        labels.append(app.main().findChild<QLabel*>(QStringLiteral("LabelURLInValidation")));
        QVERIFY(labels.size() > 12);
        for (QLabel* label : labels) {
            QVERIFY(label);
            QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        }
    }

    // Where the desktop's notification service shows the balloon, it would read markup: escaped there.
    void balloons_data() { richTexts(); }
    void balloons() {
        QFETCH(QString, text);
        QCOMPARE(QtTray::balloonBody(text, false), text);
        const QString body = QtTray::balloonBody(text, true);
        QVERIFY(!body.contains('<'));
        QTextDocument doc;
        doc.setHtml(body);
        QCOMPARE(doc.toPlainText(), text);
    }
};

QTEST_MAIN(TstPlainText)
#include "tst_plaintext.moc"
