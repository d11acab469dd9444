// The real file dialogs of the dialogs service: the filter labels as the windows write them, and a typed
// name without extension completed from the filter chosen.
#include "lists/ListFiles.h"
#include "ui/widgets/QtDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace clipvane;

namespace {

// Runs `act` on the file dialog once it is shown, then lets the dialog's own loop finish.
void onDialog(const std::function<void(QFileDialog&)>& act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
        // A dialog that refused what was typed would wait for the user for good.
        QTimer::singleShot(5000, dialog, [dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
    });
    poll->start();
}

QStringList labelsOf(const QString& filters) {
    QStringList out;
    for (const FilterEntry& f : parseFilters(filters))
        out.append(f.label);
    return out;
}

} // namespace

class TstFileDialogs : public QObject {
    Q_OBJECT
private slots:
    void filterLabelsAreShownAsWritten_data() {
        QTest::addColumn<QString>("filters");
        QTest::addColumn<bool>("save");
        QTest::newRow("list save as") << QString::fromLatin1(kSaveListFilters) << true;
        QTest::newRow("list open") << QString::fromLatin1(kOpenListFilters) << false;
        QTest::newRow("browser list open") << QString::fromLatin1(kBrowserOpenListFilters) << false;
        QTest::newRow("history file") << QStringLiteral("Comma Separated Value file (*.csv)|*.csv") << true;
        QTest::newRow("a label without patterns") << QStringLiteral("Browser|*") << false;
    }
    void filterLabelsAreShownAsWritten() {
        QFETCH(QString, filters);
        QFETCH(bool, save);
        QTemporaryDir dir;
        FileDialogRequest request;
        request.filters = filters;
        request.initialFolder = dir.path();
        QStringList shown;
        onDialog([&](QFileDialog& d) {
            auto* combo = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(combo);
            for (int i = 0; i < combo->count(); ++i)
                shown.append(combo->itemText(i));
            d.reject();
        });
        QtDialogs dialogs;
        const FileDialogResult result = save ? dialogs.saveFile(request) : dialogs.openFile(request);
        QVERIFY(!result.accepted);
        QCOMPARE(shown, labelsOf(filters));
    }

    void typedNameTakesTheFilterExtension_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("Any file adds nothing") << 1 << "mypage"
                                               << "mypage";
        QTest::newRow("HTML") << 2 << "mypage"
                              << "mypage.html";
        QTest::newRow("HTML plain text") << 3 << "mypage"
                                         << "mypage.html";
        QTest::newRow("Text file") << 4 << "mypage"
                                   << "mypage.txt";
        QTest::newRow("URL list") << 5 << "mypage"
                                  << "mypage.list";
        QTest::newRow("a name with a dot keeps it") << 2 << "links.old"
                                                    << "links.old";
        QTest::newRow("a name with its extension") << 4 << "notes.txt"
                                                   << "notes.txt";
    }
    void typedNameTakesTheFilterExtension() {
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QTemporaryDir dir;
        onDialog([&](QFileDialog& d) {
            d.selectNameFilter(d.nameFilters().value(filter - 1));
            auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
        QtDialogs dialogs;
        const FileDialogResult result =
            dialogs.saveFile(saveListAsDialog(dir.path(), QStringLiteral("Clipvane.list")));
        QVERIFY(result.accepted);
        QCOMPARE(result.filter, filter);
        QCOMPARE(result.path, QDir(dir.path()).filePath(saved));
    }

    // Open: a typed name is completed the same way, so "Any file" opens a file without extension.
    void openWithAnyFileTakesTheNameAsTyped() {
        QTemporaryDir dir;
        QFile plain(QDir(dir.path()).filePath(QStringLiteral("README")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        onDialog([&](QFileDialog& d) {
            d.selectNameFilter(d.nameFilters().value(0));
            auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(QStringLiteral("README"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        QtDialogs dialogs;
        const FileDialogResult result = dialogs.openFile(openListDialog(dir.path(), QString()));
        QVERIFY(result.accepted);
        QCOMPARE(result.filter, 1);
        QCOMPARE(result.path, plain.fileName());
    }
};

QTEST_MAIN(TstFileDialogs)
#include "tst_filedialogs.moc"
