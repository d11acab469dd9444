#include "ui/widgets/Themes.h"

#include <QApplication>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <cmath>

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

} // namespace

class TstThemes : public QObject {
    Q_OBJECT

private slots:
    void tableOfThemes();
    void carriedStylesAreReadable_data();
    void carriedStylesAreReadable();
    void applyingStyles();
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

QTEST_MAIN(TstThemes)
#include "tst_themes.moc"
