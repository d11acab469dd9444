#include "AppFixture.h"
#include "FindControl.h"
#include "ui/CaptureHistory/CaptureHistoryWindow.h"
#include "ui/Main/MainWindow.h"
#include "ui/widgets/Themes.h"

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <cmath>

using clipvane::test::ctl;

using namespace clipvane;

namespace {

double luminance(const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// Whether each of the four edges of the widget's picture is a line that stands out, against the window
// around it and against the widget's own inside: a line of one of the two outermost pixels that differs by
// at least 30 grey levels from both along most of its length.
QStringList missingEdges(QWidget& w) {
    const QImage image = w.grab().toImage();
    const int outside = qGray(w.parentWidget()->palette().color(QPalette::Window).rgb());
    const int inside = qGray(image.pixel(image.width() / 2, image.height() - 4));
    const auto stands = [&](QRgb px) {
        const int g = qGray(px);
        return qAbs(g - outside) >= 30 && qAbs(g - inside) >= 30;
    };
    const auto line = [&](bool horizontal, int at) {
        int hits = 0;
        const int length = horizontal ? image.width() : image.height();
        for (int i = 3; i < length - 3; ++i)
            hits += stands(horizontal ? image.pixel(i, at) : image.pixel(at, i)) ? 1 : 0;
        return hits * 10 >= (length - 6) * 8;
    };
    QStringList missing;
    if (!line(true, 0) && !line(true, 1))
        missing << "top";
    if (!line(true, image.height() - 1) && !line(true, image.height() - 2))
        missing << "bottom";
    if (!line(false, 0) && !line(false, 1))
        missing << "left";
    if (!line(false, image.width() - 1) && !line(false, image.width() - 2))
        missing << "right";
    return missing;
}

} // namespace

class TstThemes : public QObject {
    Q_OBJECT

private slots:
    void tableOfThemes();
    void carriedStylesAreReadable_data();
    void carriedStylesAreReadable();
    void applyingStyles();
    void panelsKeepTheirFrames_data();
    void panelsKeepTheirFrames();
};

void TstThemes::tableOfThemes() {
    QCOMPARE(themeEntries(), (QStringList{"Antartica", "Classic Interface", "Dark Knight", "Dark Water",
                                          "Night Erruption", "Under the stars"}));
    const QStringList styles{"Iceberg Classico", "Windows",       "TabletDark",
                             "Aqua Graphite",    "Ruby Graphite", "Cyan Night"};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(themeStyleName(i), styles[i]);
    QCOMPARE(themeStyleName(-1), QString());
    QCOMPARE(themeStyleName(6), QString());
}

void TstThemes::carriedStylesAreReadable_data() {
    QTest::addColumn<QString>("style");
    for (const char* s : {"Iceberg Classico", "TabletDark", "Aqua Graphite", "Ruby Graphite", "Cyan Night"})
        QTest::newRow(s) << QString::fromLatin1(s);
}

// Text meets 4.5:1 against what it is drawn on; focus frames and disabled text 3:1 against the window,
// and disabled text is visibly dimmer than enabled text.
void TstThemes::carriedStylesAreReadable() {
    QFETCH(QString, style);
    const QPalette p = themePalette(style);
    using P = QPalette;
    const std::pair<P::ColorRole, P::ColorRole> pairs[] = {
        {P::WindowText, P::Window},         {P::Text, P::Base},
        {P::Text, P::AlternateBase},        {P::ButtonText, P::Button},
        {P::HighlightedText, P::Highlight}, {P::ToolTipText, P::ToolTipBase}};
    for (const auto& [fg, bg] : pairs) {
        const double c = contrast(p.color(P::Active, fg), p.color(P::Active, bg));
        QVERIFY2(c >= 4.5, qPrintable(QStringLiteral("%1 on %2: %3").arg(fg).arg(bg).arg(c)));
    }
    const QColor window = p.color(P::Active, P::Window);
    QVERIFY(contrast(p.color(P::Active, P::Link), window) >= 3.0);
    const double disabled = contrast(p.color(P::Disabled, P::WindowText), window);
    QVERIFY2(disabled >= 2.5, qPrintable(QString::number(disabled)));
    QVERIFY(disabled < contrast(p.color(P::Active, P::WindowText), window) * 0.75);

    const QString css = themeStyleSheet(style);
    QVERIFY(!css.isEmpty());
    QVERIFY2(!css.contains(u'@'), "a colour was left unfilled in the style sheet");
    for (const char* state : {"QToolButton:focus", "QPushButton:focus", "QLineEdit:focus", "QCheckBox:focus",
                              "QToolButton:disabled", "QPushButton:disabled", "QCheckBox:disabled"})
        QVERIFY2(css.contains(QLatin1String(state)), state);
    // Accent colours of the style sheet are readable against the window too.
    static const QRegularExpression focus(
        QStringLiteral("QToolButton:focus \\{ border: 2px solid (#[0-9a-f]{6})"));
    const QRegularExpressionMatch m = focus.match(css);
    QVERIFY(m.hasMatch());
    QVERIFY(contrast(QColor(m.captured(1)), window) >= 3.0);
}

void TstThemes::applyingStyles() {
    const QString platform = QApplication::style()->name();
    applyStyle(QStringLiteral("TabletDark"));
    QCOMPARE(appliedStyleName(), QStringLiteral("TabletDark"));
    QCOMPARE(qApp->styleSheet(), themeStyleSheet(QStringLiteral("TabletDark")));
    QCOMPARE(QApplication::palette().color(QPalette::Window),
             themePalette("TabletDark").color(QPalette::Window));

    // Unknown names and positions outside the list change nothing.
    applyStyle(QStringLiteral("Nonexistent"));
    applyTheme(6);
    applyTheme(-1);
    QCOMPARE(appliedStyleName(), QStringLiteral("TabletDark"));

    // The plain look: the platform's style as the application started with, no style sheet of ours.
    applyTheme(1);
    QCOMPARE(appliedStyleName(), QStringLiteral("Windows"));
    QCOMPARE(QApplication::style()->name(), platform);
    QVERIFY(qApp->styleSheet().isEmpty());
    QCOMPARE(QApplication::palette().color(QPalette::Window),
             QApplication::style()->standardPalette().color(QPalette::Window));

    applyTheme(0);
    QCOMPARE(appliedStyleName(), QStringLiteral("Iceberg Classico"));
}

void TstThemes::panelsKeepTheirFrames_data() {
    QTest::addColumn<int>("theme");
    QTest::newRow("Classic Interface") << 1;
    QTest::newRow("Antartica") << 0;
}

// The hint panels and the status bar panels of the main window and the Capture History are framed on
// every side, in the plain look as in the carried ones.
void TstThemes::panelsKeepTheirFrames() {
    QFETCH(int, theme);
    {
        test::AppFixture app;
        app.startShown();
        CaptureHistoryWindow& history = *app.app().captureHistoryWindow();
        history.show();
        QVERIFY(QTest::qWaitForWindowExposed(&history));
        applyTheme(theme);
        QTest::qWait(50); // the new palette and style reach every widget
        QList<QLabel*> panels{ctl<QLabel>(app.main(), "HintPanel"), ctl<QLabel>(history, "HintPanel")};
        for (QWidget* window : {static_cast<QWidget*>(&app.main()), static_cast<QWidget*>(&history)})
            for (QLabel* label : window->findChildren<QLabel*>())
                if (label->objectName().startsWith(QLatin1String("SBMainPanel")) ||
                    label->objectName().startsWith(QLatin1String("SBPanel")))
                    panels.append(label);
        QCOMPARE(panels.size(), 2 + 7 + 5);
        for (QLabel* panel : panels) {
            const QStringList missing = missingEdges(*panel);
            QVERIFY2(missing.isEmpty(), qPrintable(panel->objectName() + ": no " + missing.join(", ")));
        }
    }
    applyTheme(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TstThemes)
#include "tst_themes.moc"
