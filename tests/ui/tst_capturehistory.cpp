#include "AppFixture.h"
#include "FindControl.h"
#include "WindowFixture.h"
#include "core/Yield.h"
#include "history/HistoryTable.h"
#include "history/HistoryTools.h"
#include "prefs/BrowserChoice.h"
#include "prefs/UrlLauncher.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/widgets/Hints.h"
#include "ui/widgets/Pictures.h"
#include "ui/widgets/Themes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

using namespace clipvane;
using namespace clipvane::test;

namespace {

HistoryEntry row(const QString& date, const QString& url) {
    HistoryEntry e;
    e.cells = {date, "10:00:00", url, "Clipboard", "No", "example", "192.0.2.1"};
    return e;
}

// The Capture History window alone on the doubles, with what the composition root hands it: the history
// table and the launcher (on the browser choice). "Validate Clipboard URL" is ticked, as by default.
struct Rig {
    WindowFixture<CaptureHistoryWindow> app;
    HistoryTable history{sources()};
    BrowserChoice choice{choiceContext()};
    UrlLauncher launcher{app.shell, app.dialogs, app.connectivity, choice};
    Rig() {
        app.make(history, false);
        app.window().setLauncher(&launcher);
    }
    ~Rig() { app.destroyWindow(); } // before the table it shows
    HistorySources sources() {
        HistorySources s;
        s.resolver = &app.resolver;
        s.connectivity = &app.connectivity;
        s.validateClipboardUrl = [] { return true; };
        s.yield = letPendingMessagesRun;
        return s;
    }
    BrowserChoiceContext choiceContext() {
        BrowserChoiceContext c;
        c.dialogs = &app.dialogs;
        c.drives = &app.drives;
        return c;
    }
    CaptureHistoryWindow& w() { return app.window(); }
    HistoryTable& table() { return history; }
    void entries(const QList<HistoryEntry>& rows) {
        table().ResetHistoryTable();
        table().insertEntries(1, rows);
    }
    void select(int r, int c) { ctl<HistoryGrid>(w(), "SGHistory")->setCurrentIndex(table().index(r, c)); }
    QStringList urls() {
        QStringList out;
        for (int r = 1; r < table().rowCount(); ++r)
            out.append(table().cell(r, 2));
        return out;
    }
};

} // namespace

class TstCaptureHistory : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void layoutAndStartState() {
        Rig r;
        CaptureHistoryWindow& w = r.w();
        QCOMPARE(w.windowTitle(), QString("Capture History"));
        QCOMPARE(w.minimumSize(), QSize(800, 600));
        for (const char* name : {"Panel1",
                                 "cyNewList",
                                 "cySaveHistory",
                                 "cySaveHistoryAs",
                                 "cyURLSave",
                                 "cyReloadHistory",
                                 "cyLoadHistory",
                                 "cyPrintDB",
                                 "cyAutosize",
                                 "cyDeleteRecord",
                                 "cyAdvSpeedButton2",
                                 "cyNavigateURL",
                                 "cyClose",
                                 "Panel2",
                                 "SGHistory",
                                 "Panel3",
                                 "GroupBox1",
                                 "CBSortHistory",
                                 "cyAdvSpeedButton1",
                                 "GroupBox2",
                                 "EditSearch",
                                 "cyAdvSpeedButton4",
                                 "cySearch",
                                 "cyStopSearch",
                                 "HintPanel",
                                 "SB"})
            QVERIFY2(w.findChild<QObject*>(name), name);
        QCOMPARE(longHintAt(ctl<QToolButton>(w, "cyPrintDB")),
                 QString("Print the Capture History database with the system default printer"));
        QCOMPARE(longHintAt(ctl<QComboBox>(w, "CBSortHistory")),
                 QString("Choose wich column to sort. Sorting is descending."));
        QCOMPARE(longHintAt(ctl<QToolButton>(w, "cySaveHistoryAs")),
                 QString("Save the Capture History database as a CSV file  in the folder of your choice."));
        QCOMPARE(ctl<QToolButton>(w, "cyPrintDB")->toolTip(), QString()); // long hints only

        QStringList items;
        for (int i = 0; i < ctl<QComboBox>(w, "CBSortHistory")->count(); ++i)
            items.append(ctl<QComboBox>(w, "CBSortHistory")->itemText(i));
        QCOMPARE(items, (QStringList{"Date of entry ", "Time of entry", "URL", "Origin", "Validate",
                                     "Domain\t", "IP"}));
        QCOMPARE(ctl<QComboBox>(w, "CBSortHistory")->currentIndex(), 0);

        for (QToolButton* b :
             {ctl<QToolButton>(w, "cyNewList"), ctl<QToolButton>(w, "cySaveHistory"),
              ctl<QToolButton>(w, "cySaveHistoryAs"), ctl<QToolButton>(w, "cyURLSave"),
              ctl<QToolButton>(w, "cyLoadHistory"), ctl<QToolButton>(w, "cyPrintDB"),
              ctl<QToolButton>(w, "cyAutosize"), ctl<QToolButton>(w, "cyDeleteRecord"),
              ctl<QToolButton>(w, "cyAdvSpeedButton2"), ctl<QToolButton>(w, "cyClose"),
              ctl<QToolButton>(w, "cyAdvSpeedButton1"), ctl<QToolButton>(w, "cyAdvSpeedButton4")})
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        for (QToolButton* b : {ctl<QToolButton>(w, "cyNavigateURL"), ctl<QToolButton>(w, "cySearch"),
                               ctl<QToolButton>(w, "cyStopSearch"), ctl<QToolButton>(w, "cyReloadHistory")})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QCOMPARE(w.statusPanelText(0), QString("Row:"));
        QCOMPARE(w.statusPanelText(2), QString("Col:"));

        // Row 0 is the header above the grid; rows are numbered as the table counts them.
        QVERIFY(ctl<HistoryGrid>(w, "SGHistory")->isRowHidden(0));
        QCOMPARE(r.table().headerData(2, Qt::Horizontal).toString(), QString("URL"));
        QCOMPARE(r.table().headerData(1, Qt::Vertical).toString(), QString("1"));
        r.entries({row("d", "http://a.example/")});
        QVERIFY(ctl<HistoryGrid>(w, "SGHistory")->isRowHidden(0)); // again after a reset
    }

    // The tool bar: picture buttons like the main window's, drawn in the theme's ink; the captions name them
    // for assistive technology and the long hints stay.
    void toolBarPictures_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("picture");
        const char* const buttons[][2] = {{"cyNewList", "new-list"},
                                          {"cySaveHistory", "save-list"},
                                          {"cySaveHistoryAs", "save-list-as"},
                                          {"cyURLSave", "history-save-urls"},
                                          {"cyReloadHistory", "reload-list"},
                                          {"cyLoadHistory", "open-list"},
                                          {"cyPrintDB", "history-print"},
                                          {"cyAutosize", "history-autosize"},
                                          {"cyDeleteRecord", "history-delete-row"},
                                          {"cyAdvSpeedButton2", "history-remove-duplicates"},
                                          {"cyNavigateURL", "navigate"},
                                          {"cyClose", "history-close"}};
        for (const auto& b : buttons)
            QTest::newRow(b[0]) << QString(b[0]) << QString(b[1]);
    }
    void toolBarPictures() {
        QFETCH(QString, button);
        QFETCH(QString, picture);
        // Beside the main window's tool bar: the whole application.
        AppFixture app;
        app.start();
        CaptureHistoryWindow& w = *app.app().captureHistoryWindow();
        auto* b = w.findChild<QToolButton*>(button);
        QVERIFY(b);
        QVERIFY(b->parentWidget() == ctl<QWidget>(w, "Panel1"));
        QToolButton* mainButton = ctl<QToolButton>(app.main(), "cyNewList");
        QCOMPARE(b->size(), QSize(48, 48));
        QCOMPARE(b->size(), mainButton->size());
        QCOMPARE(b->iconSize(), mainButton->iconSize());
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QVERIFY(QFile::exists(picturePath(picture)));
        QVERIFY(!b->accessibleName().isEmpty());
        QVERIFY(!longHintAt(b).isEmpty());
        QCOMPARE(b->toolTip(), QString());

        // The ink follows the theme: the same picture drawn light on a dark theme.
        const auto ink = [&] {
            const QImage image = b->icon().pixmap(b->iconSize()).toImage();
            qint64 sum = 0, count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) > 200) {
                        sum += qGray(image.pixel(x, y));
                        ++count;
                    }
            return count ? sum / count : -1;
        };
        const qint64 light = ink();
        QVERIFY(light >= 0);
        applyStyle("TabletDark");
        const qint64 dark = ink();
        applyStyle("Iceberg Classico");
        QVERIFY2(dark > light, qPrintable(QString("%1 <= %2").arg(dark).arg(light)));
    }

    void selectionStatusAndNavigate() {
        Rig r;
        CaptureHistoryWindow& w = r.w();
        r.entries({row("d1", "http://a.example/"), row("d2", "file:///x?http://y")});
        r.select(1, 0);
        QCOMPARE(w.statusPanelText(1), QString("1"));
        QCOMPARE(w.statusPanelText(3), QString("0"));
        QCOMPARE(w.statusPanelText(4), QString("d1"));
        QVERIFY(!ctl<QToolButton>(w, "cyNavigateURL")->isEnabled());
        r.select(1, 2);
        QVERIFY(ctl<QToolButton>(w, "cyNavigateURL")->isEnabled());
        QCOMPARE(w.statusPanelText(4), QString("http://a.example/"));

        // Offline: the question first.
        r.app.dialogs.answer(Answer::No);
        ctl<QToolButton>(w, "cyNavigateURL")->click();
        QCOMPARE(r.app.dialogs.texts(), QStringList{"Internet is not connected. Proceed anyway?"});
        QCOMPARE(r.app.dialogs.shown[0].kind, MessageKind::Warning);
        QVERIFY(r.app.shell.opened.isEmpty());
        r.app.dialogs.answer(Answer::Yes);
        ctl<QToolButton>(w, "cyNavigateURL")->click();
        QCOMPARE(r.app.shell.opened, QList<QUrl>{QUrl("http://a.example/")});

        // Only web addresses are ever handed over.
        r.app.connectivity.connected = true;
        r.select(2, 2);
        r.app.dialogs.answer(Answer::Ok);
        ctl<QToolButton>(w, "cyNavigateURL")->click();
        QCOMPARE(r.app.shell.opened.size(), 1);
        QCOMPARE(r.app.dialogs.shown.last().kind, MessageKind::Warning);
    }

    // The blank last row is never edited or deleted; an entry row is.
    void editingAndDeleteFollowTheRow() {
        Rig r;
        CaptureHistoryWindow& w = r.w();
        r.entries({row("d1", "u1"), row("d2", "u2")});
        const int last = r.table().rowCount() - 1;
        r.select(last, 2);
        QVERIFY(!ctl<QToolButton>(w, "cyDeleteRecord")->isEnabled());
        QCOMPARE(ctl<HistoryGrid>(w, "SGHistory")->editTriggers(), QAbstractItemView::NoEditTriggers);
        QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
        ctl<HistoryGrid>(w, "SGHistory")->edit(r.table().index(last, 2));
        QVERIFY(!ctl<HistoryGrid>(w, "SGHistory")->isEditing());
        w.cyDeleteRecordClick();
        QCOMPARE(r.table().rowCount(), 4);

        r.select(1, 2);
        QVERIFY(ctl<QToolButton>(w, "cyDeleteRecord")->isEnabled());
        QVERIFY(ctl<HistoryGrid>(w, "SGHistory")->editTriggers() & QAbstractItemView::DoubleClicked);
        ctl<HistoryGrid>(w, "SGHistory")->edit(r.table().index(1, 2));
        QVERIFY(ctl<HistoryGrid>(w, "SGHistory")->isEditing());
        r.select(2, 2); // ends the editing
        r.select(1, 2);
        ctl<QToolButton>(w, "cyDeleteRecord")->click();
        QCOMPARE(r.urls(), (QStringList{"u2", ""}));

        r.entries({});
        r.select(1, 0);
        w.cyDeleteRecordClick();
        QCOMPARE(r.table().rowCount(), 2);
    }

    // A row dragged by its number moves in the table; the header row stays first.
    void rowDragMovesTheTableRow() {
        Rig r;
        QHeaderView* rows = ctl<HistoryGrid>(r.w(), "SGHistory")->verticalHeader();
        r.entries({row("d", "u1"), row("d", "u2"), row("d", "u3")});
        rows->moveSection(3, 1);
        QCOMPARE(r.urls(), (QStringList{"u3", "u1", "u2", ""}));
        rows->moveSection(2, 0);
        QCOMPARE(r.urls(), (QStringList{"u1", "u3", "u2", ""}));
        QCOMPARE(r.table().cell(0, 2), QString("URL"));
        for (int i = 0; i < r.table().rowCount(); ++i)
            QCOMPARE(rows->visualIndex(i), i);

        // The blank row dragged away from the end: the next capture still gets a row of its own.
        rows->moveSection(4, 1);
        QCOMPARE(r.urls(), (QStringList{"", "u1", "u3", "u2"}));
        r.table().AddHistoryEntry("http://next.example/");
        QCOMPARE(r.urls(), (QStringList{"", "u1", "u3", "u2", "http://next.example/", ""}));
    }

    // The file buttons reach their commands; a successful save enables the reload button.
    void fileButtons() {
        Rig r;
        CaptureHistoryWindow& w = r.w();
        r.entries({row("d", "http://a.example/")});
        QVERIFY(!ctl<QToolButton>(w, "cyReloadHistory")->isEnabled());
        r.app.dialogs.answer(Answer::Ok);
        ctl<QToolButton>(w, "cySaveHistory")->click();
        QVERIFY(ctl<QToolButton>(w, "cyReloadHistory")->isEnabled());
        QVERIFY(r.app.folder.read("Capture History.csv").contains("http://a.example/"));

        r.app.dialogs.answer(Answer::No);
        ctl<QToolButton>(w, "cyNewList")->click();
        QCOMPARE(r.table().rowCount(), 2);
        ctl<QToolButton>(w, "cyReloadHistory")->click();
        QCOMPARE(r.urls(), (QStringList{"http://a.example/", ""}));
        QCOMPARE(r.app.dialogs.texts().size(), 2);
    }

    // The search through the window: its states, the selected match, and the cancel button reaching it.
    void searchInTheWindow() {
        Rig r;
        CaptureHistoryWindow& w = r.w();
        r.entries({row("d1", "http://a.example/"), row("d2", "http://b.example/")});
        ctl<QLineEdit>(w, "EditSearch")->setText("B.EXAMPLE");
        QVERIFY(ctl<QToolButton>(w, "cySearch")->isEnabled());
        ctl<QToolButton>(w, "cyAdvSpeedButton4")->click();
        QVERIFY(ctl<QLineEdit>(w, "EditSearch")->text().isEmpty());
        QVERIFY(!ctl<QToolButton>(w, "cySearch")->isEnabled());

        ctl<QLineEdit>(w, "EditSearch")->setText("B.EXAMPLE");
        bool searching = false;
        QString statusAtMatch;
        r.app.dialogs.onMessage = [&](const ScriptedDialogs::Shown&) {
            if (r.app.dialogs.shown.size() == 1) {
                searching = !ctl<QLineEdit>(w, "EditSearch")->isEnabled() &&
                            ctl<QToolButton>(w, "cyStopSearch")->isEnabled();
                statusAtMatch = w.statusPanelText(1) + "," + w.statusPanelText(3);
            }
        };
        r.app.dialogs.answer(Answer::Yes);
        r.app.dialogs.answer(Answer::Ok);
        ctl<QToolButton>(w, "cySearch")->click();
        QVERIFY(searching);
        QCOMPARE(statusAtMatch, QString("2,2"));
        QCOMPARE(
            r.app.dialogs.texts().last(),
            QString("The search is over. \r\nTotal exact match found:  0\r\nTotal partial match found:1"));
        QVERIFY(ctl<QLineEdit>(w, "EditSearch")->isEnabled());
        QVERIFY(!ctl<QToolButton>(w, "cyStopSearch")->isEnabled());

        // The cancel button, pressed while the search lets messages run.
        r.app.dialogs.onMessage = {};
        r.app.dialogs.answer(Answer::Ok);
        QTimer::singleShot(0, ctl<QToolButton>(w, "cyStopSearch"), &QToolButton::click);
        ctl<QToolButton>(w, "cySearch")->click();
        QCOMPARE(r.app.dialogs.texts().last(),
                 QString("The search was canceled and is over. \r\nTotal exact match "
                         "found:  0\r\nTotal partial match found:0"));
        QVERIFY(ctl<QLineEdit>(w, "EditSearch")->isEnabled());
        QVERIFY(!ctl<QToolButton>(w, "cyStopSearch")->isEnabled());
    }

    void sortAndDuplicateButtons() {
        Rig r;
        CaptureHistoryWindow& w = r.w();
        r.entries(
            {row("d", "http://c.example/"), row("d", "http://A.example/"), row("d", "http://c.example/")});
        ctl<QComboBox>(w, "CBSortHistory")->setCurrentIndex(2);
        ctl<QToolButton>(w, "cyAdvSpeedButton1")->click();
        QCOMPARE(r.urls(), (QStringList{"http://A.example/", "http://c.example/", "http://c.example/", ""}));
        r.app.dialogs.answer(Answer::Ok);
        ctl<QToolButton>(w, "cyAdvSpeedButton2")->click();
        QCOMPARE(r.app.dialogs.texts(), QStringList{"1 duplicated record found and removed."});
        QCOMPARE(r.urls(), (QStringList{"http://A.example/", "http://c.example/", ""}));
    }

    // The highlighted cell, SelectedRow, the status bar and Navigate name the same entry after the rows
    // changed under the cell.
    void selectionFollowsTheHighlightedCell_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("url"); // the highlighted entry afterwards; empty: whichever is highlighted
        QTest::newRow("sort") << "sort"
                              << "http://c.example/";
        QTest::newRow("a row above deleted") << "delete above"
                                             << "http://c.example/";
        QTest::newRow("the highlighted row deleted") << "delete it"
                                                     << "";
        QTest::newRow("duplicates removed above") << "duplicates"
                                                  << "http://c.example/";
        QTest::newRow("file appended") << "append"
                                       << "http://c.example/";
        QTest::newRow("reload replaces every row") << "reload"
                                                   << "";
    }
    void selectionFollowsTheHighlightedCell() {
        QFETCH(QString, change);
        QFETCH(QString, url);
        Rig r;
        CaptureHistoryWindow& w = r.w();
        r.entries({row("d", "http://b.example/"), row("d", "http://a.example/"),
                   row("d", "http://a.example/"), row("d", "http://c.example/")});
        w.show();
        r.select(4, 2);
        QCOMPARE(w.SelectedRow, 4);
        if (change == "sort") {
            ctl<QComboBox>(w, "CBSortHistory")->setCurrentIndex(2);
            ctl<QToolButton>(w, "cyAdvSpeedButton1")->click();
        } else if (change == "delete above") {
            r.table().DeleteHistoryRow(1);
        } else if (change == "delete it") {
            ctl<QToolButton>(w, "cyDeleteRecord")->click();
        } else if (change == "duplicates") {
            r.app.dialogs.answer(Answer::Ok);
            ctl<QToolButton>(w, "cyAdvSpeedButton2")->click();
        } else {
            r.app.folder.write("Capture History.csv", "H,h,URL\r\n,,http://z.example/\r\n,,,,,,\r\n");
            if (change == "reload") {
                ctl<QToolButton>(w, "cyReloadHistory")->setEnabled(true);
                ctl<QToolButton>(w, "cyReloadHistory")->click();
            } else {
                r.app.dialogs.answerFile({true, r.app.folder.file("Capture History.csv"), 1});
                r.app.dialogs.answer(Answer::Yes);
                ctl<QToolButton>(w, "cyLoadHistory")->click();
            }
        }
        const QModelIndex current = ctl<HistoryGrid>(w, "SGHistory")->currentIndex();
        QCOMPARE(w.SelectedRow, current.isValid() ? current.row() : -1);
        QCOMPARE(w.statusPanelText(1), current.isValid() ? QString::number(current.row()) : QString());
        QCOMPARE(w.statusPanelText(4), r.table().cell(current.row(), current.column()));
        if (!url.isEmpty()) {
            QCOMPARE(r.table().cell(current.row(), 2), url);
            QCOMPARE(w.SelectedCol, 2);
        }
        if (current.isValid() && current.column() == 2 && !r.table().cell(current.row(), 2).isEmpty()) {
            r.app.connectivity.connected = true;
            ctl<QToolButton>(w, "cyNavigateURL")->click();
            QCOMPARE(r.app.shell.opened.size(), 1);
            QCOMPARE(r.app.shell.opened.first().toString(), r.table().cell(current.row(), 2));
        }
    }

    void printing() {
        Rig r;
        CaptureHistoryWindow& w = r.w();
        r.entries({row("d1", "http://a.example/")});
        ctl<QToolButton>(w, "cyPrintDB")->click();
        QCOMPARE(r.app.printing.jobs.size(), 1);
        const RecordingPrinting::Job& job = r.app.printing.jobs[0];
        QVERIFY(job.title.startsWith("Clipvane - Captured History database. "));
        QCOMPARE(job.texts.first().text, job.title);
        bool urlHeaderFound = false;
        for (const DrawnText& t : job.texts) {
            if (t.text == "URL") {
                urlHeaderFound = true;
                QCOMPARE(int(t.topLeft.x()), 5 * ctl<HistoryGrid>(w, "SGHistory")->columnWidth(1) + 50);
            }
            QVERIFY(t.text != "d1");
        }
        QVERIFY(urlHeaderFound);

        r.app.printing.available = false;
        r.app.dialogs.answer(Answer::Ok);
        ctl<QToolButton>(w, "cyPrintDB")->click();
        QCOMPARE(r.app.dialogs.shown.last().kind, MessageKind::Error);
        QCOMPARE(r.app.printing.jobs.size(), 1);
        QCOMPARE(r.table().rowCount(), 3);
    }

    void autoSizeOnShow() {
        Rig r;
        CaptureHistoryWindow& w = r.w();
        r.entries({row("d1", "http://" + QString(120, u'a') + ".example/")});
        w.show();
        const auto widths = autoSizeWidths(r.table(), w.gridMetrics());
        for (int c = 0; c < kHistoryColumns; ++c)
            QCOMPARE(ctl<HistoryGrid>(w, "SGHistory")->columnWidth(c), widths[std::size_t(c)]);
        QCOMPARE(ctl<HistoryGrid>(w, "SGHistory")->verticalHeader()->defaultSectionSize(), kHistoryRowHeight);
        ctl<QToolButton>(w, "cyClose")->click();
        QVERIFY(!w.isVisible());
    }

    // AutoSize as the grid draws: the widest URL and the header whole, under the carried styles and the
    // platform's, and a cell of 150,000 characters within the maximum.
    void autoSizeFitsWhatIsDrawn_data() {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QStringList>("urls");
        const QStringList local{"http://127.0.0.1:8080/a", "http://127.0.0.1:8080/list/2",
                                "http://127.0.0.11/", "http://AVATAR.example/Te/Yo/",
                                "http://192.168.100.111:8443/ffff/llll/iiii"};
        for (const char* theme : {"Iceberg Classico", "Windows", "TabletDark"}) {
            QTest::addRow("%s, local addresses", theme) << QString(theme) << local;
            QTest::addRow("%s, empty table", theme) << QString(theme) << QStringList();
            QTest::addRow("%s, 150,000 characters", theme)
                << QString(theme) << QStringList{"http://" + QString(150'000, u'a'), "http://b.example/"};
        }
    }
    void autoSizeFitsWhatIsDrawn() {
        QFETCH(QString, theme);
        QFETCH(QStringList, urls);
        {
            Rig r;
            applyStyle(theme);
            CaptureHistoryWindow& w = r.w();
            QList<HistoryEntry> rows;
            for (const QString& u : urls)
                rows.append(row("09/03/2024", u));
            r.entries(rows);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            ctl<QToolButton>(w, "cyAutosize")->click();
            HistoryGrid& grid = *ctl<HistoryGrid>(w, "SGHistory");
            QHeaderView& header = *grid.horizontalHeader();
            for (int c = 0; c < kHistoryColumns; ++c)
                QVERIFY2(grid.columnWidth(c) >= header.sectionSizeHint(c), qPrintable(QString::number(c)));
            QStyleOptionViewItem option;
            option.initFrom(&grid);
            option.font = grid.font();
            option.features |= QStyleOptionViewItem::HasDisplay;
            for (int row = 1; row < r.table().rowCount(); ++row) {
                const QString& text = r.table().cell(row, 2);
                if (text.size() > HistoryTable::kDisplayLimit) {
                    QCOMPARE(grid.columnWidth(2), kMaxColumnWidth);
                    continue;
                }
                // The cell's text is laid out whole in the column, its grid line aside.
                const int needed = grid.itemDelegate()->sizeHint(option, r.table().index(row, 2)).width() + 1;
                QVERIFY2(grid.columnWidth(2) >= needed,
                         qPrintable(QString("%1: %2 < %3").arg(text).arg(grid.columnWidth(2)).arg(needed)));
            }
        }
        applyStyle("Iceberg Classico");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The window's creation loads the default file when the option is set, keeping earlier captures.
    void startUpLoad() {
        AppFixture app;
        app.start();
        app.folder.write("Capture History.csv",
                         "\"Date of entry\",T,URL\r\nd,t,http://old.example/\r\n,,,,,,\r\n");
        HistoryTable& table = *app.app().history();
        table.AddHistoryEntry("http://early.example/");
        CaptureHistoryWindow w(app.services(), table, true);
        QCOMPARE(table.cell(1, 2), QString("http://old.example/"));
        QCOMPARE(table.cell(2, 2), QString("http://early.example/"));
        QCOMPARE(table.rowCount(), 4);
        QVERIFY(ctl<QToolButton>(w, "cyReloadHistory")->isEnabled());
        QCOMPARE(ctl<HistoryGrid>(w, "SGHistory")->columnWidth(2),
                 autoSizeColWidth(table, 2, w.gridMetrics()));
    }

    // The close of the main window saves the history when its option is ticked.
    void exitSave_data() {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked") << true;
        QTest::newRow("not ticked") << false;
    }
    void exitSave() {
        QFETCH(bool, ticked);
        AppFixture app;
        app.startShown();
        ctl<QCheckBox>(app.main(), "CBSaveHistory")->setChecked(ticked);
        app.app().history()->AddHistoryEntry("http://saved.example/");
        app.main().close();
        const QByteArray file = app.folder.read("Capture History.csv");
        QCOMPARE(file.contains("http://saved.example/"), ticked);
        QVERIFY(app.dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(TstCaptureHistory)
#include "tst_capturehistory.moc"
