#include "Themes.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace clipvane {

namespace {

// One carried style: a few colours from which the palette and the style sheet are made.
struct StyleColors {
    const char* name;
    const char* window;      // window and page background
    const char* windowText;  // labels, check boxes, group boxes
    const char* base;        // edit boxes and lists
    const char* altBase;     // alternate rows
    const char* text;        // text in edit boxes and lists
    const char* button;      // buttons, tabs
    const char* buttonText;  // their captions
    const char* highlight;   // selection
    const char* highlighted; // selected text
    const char* accent;      // focus frames, selected tab, group titles
    const char* onAccent;    // text on the accent
    const char* border;      // frames
    const char* panel;       // hint panel, status bar, tool bars
    const char* hover;       // a button under the mouse
    const char* pressed;     // a button held down
    const char* disabled;    // text of disabled controls
};

// Each dark style keeps one accent; the light one is the start-up look.
constexpr StyleColors kStyles[] = {
    {"Iceberg Classico", "#e8eff5", "#15273a", "#ffffff", "#f1f6fa", "#13202d", "#d6e4ef", "#15273a",
     "#2c6aa6", "#ffffff", "#2c6aa6", "#ffffff", "#9fb7cc", "#d2e1ee", "#c5d9ea", "#a9c6df", "#6f8193"},
    {"TabletDark", "#262626", "#e8e8e8", "#1b1b1b", "#232323", "#eeeeee", "#353535", "#eeeeee", "#d8a032",
     "#161616", "#e3aa3a", "#161616", "#4d4d4d", "#1e1e1e", "#424242", "#5b4a2a", "#8a8a8a"},
    {"Aqua Graphite", "#2a2e34", "#e3eaf0", "#1e2227", "#252a30", "#e8eef3", "#373d45", "#e8eef3", "#33b5c8",
     "#07181c", "#3cc3d6", "#07181c", "#4c545e", "#22262b", "#444c56", "#23505a", "#88939e"},
    {"Ruby Graphite", "#2c2a2b", "#f0e7e8", "#201e1f", "#282526", "#f2eaeb", "#3b3637", "#f2eaeb", "#b8283e",
     "#ffffff", "#e8506a", "#1a0a0d", "#564b4d", "#242122", "#4a4143", "#5e2732", "#958a8c"},
    {"Cyan Night", "#121b2e", "#dbe7f6", "#0a1221", "#101a2c", "#e2ecf8", "#1d2a43", "#dbe7f6", "#27bddc",
     "#03121a", "#3fd3f2", "#03121a", "#2f3f5c", "#0d1526", "#283a5a", "#15425a", "#7888a2"},
};

const StyleColors* findStyle(const QString& name) {
    for (const StyleColors& s : kStyles)
        if (name == QLatin1String(s.name))
            return &s;
    return nullptr;
}

QPalette paletteOf(const StyleColors& s) {
    const QColor window(s.window), windowText(s.windowText), base(s.base), altBase(s.altBase), text(s.text),
        button(s.button), buttonText(s.buttonText), highlight(s.highlight), highlighted(s.highlighted),
        accent(s.accent), disabled(s.disabled);
    const bool dark = window.lightness() < 128;
    QPalette p;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Window, window);
        p.setColor(g, QPalette::WindowText, windowText);
        p.setColor(g, QPalette::Base, base);
        p.setColor(g, QPalette::AlternateBase, altBase);
        p.setColor(g, QPalette::Text, text);
        p.setColor(g, QPalette::Button, button);
        p.setColor(g, QPalette::ButtonText, buttonText);
        p.setColor(g, QPalette::BrightText, dark ? QColor(Qt::white) : QColor(Qt::black));
        p.setColor(g, QPalette::Highlight, highlight);
        p.setColor(g, QPalette::HighlightedText, highlighted);
        p.setColor(g, QPalette::Link, accent);
        p.setColor(g, QPalette::LinkVisited, accent.darker(dark ? 90 : 130));
        p.setColor(g, QPalette::ToolTipBase, QColor(s.panel));
        p.setColor(g, QPalette::ToolTipText, windowText);
        QColor placeholder = text;
        placeholder.setAlpha(128);
        p.setColor(g, QPalette::PlaceholderText, placeholder);
        // Fusion draws its bevels and frames from these.
        p.setColor(g, QPalette::Light, button.lighter(dark ? 140 : 115));
        p.setColor(g, QPalette::Midlight, button.lighter(dark ? 120 : 108));
        p.setColor(g, QPalette::Mid, button.darker(dark ? 120 : 130));
        p.setColor(g, QPalette::Dark, button.darker(dark ? 150 : 170));
        p.setColor(g, QPalette::Shadow, QColor(Qt::black));
    }
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, r, disabled);
    p.setColor(QPalette::Disabled, QPalette::Base, window);
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(s.border));
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, disabled);
    // A window that is not active keeps its selection readable.
    p.setColor(QPalette::Inactive, QPalette::Highlight, highlight);
    return p;
}

// One style sheet for every window; colours come from the style. Focus is a two-pixel accent frame
// (or an accent tint on check boxes and radio buttons); disabled controls lose their contrast.
constexpr char kStyleSheet[] = R"(
QToolTip { background: @panel; color: @windowText; border: 1px solid @border; padding: 3px; }
QToolButton { color: @buttonText; background: transparent; border: 1px solid transparent; border-radius: 4px;
    padding: 0px; }
QToolButton:hover { background: @hover; border-color: @border; }
QToolButton:pressed, QToolButton:checked { background: @pressed; border-color: @accent; }
QToolButton:focus { border: 2px solid @accent; }
QToolButton:disabled { color: @disabled; background: transparent; border-color: transparent; }
QPushButton { color: @buttonText; background: @button; border: 1px solid @border; border-radius: 4px;
    padding: 4px 14px; min-height: 18px; }
QPushButton:hover { background: @hover; }
QPushButton:pressed { background: @pressed; border-color: @accent; }
QPushButton:focus { border: 2px solid @accent; }
QPushButton:default { border-color: @accent; }
QPushButton:disabled { color: @disabled; background: @window; border-color: @border; }
QGroupBox { color: @windowText; border: 1px solid @border; border-radius: 5px; margin-top: 1.1em;
    padding: 3px 2px 2px 2px; }
QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 8px; padding: 0 4px;
    color: @accentTitle; font-weight: bold; }
QGroupBox:disabled, QGroupBox::title:disabled { color: @disabled; }
QCheckBox, QRadioButton { color: @windowText; spacing: 6px; padding: 2px 4px; border-radius: 3px; }
QCheckBox:hover, QRadioButton:hover { background: @hover; }
QCheckBox:focus, QRadioButton:focus { background: @focusTint; }
QCheckBox:disabled, QRadioButton:disabled { color: @disabled; }
QLineEdit, QPlainTextEdit, QTextEdit, QListView, QListWidget, QTreeView, QTableView, QTableWidget {
    color: @text; background: @base; border: 1px solid @border; border-radius: 3px;
    selection-background-color: @highlight; selection-color: @highlighted; }
QLineEdit { padding: 2px 4px; }
QLineEdit:focus, QPlainTextEdit:focus, QTextEdit:focus, QListView:focus, QListWidget:focus, QTreeView:focus,
QTableView:focus, QTableWidget:focus { border: 2px solid @accent; }
QLineEdit:disabled, QPlainTextEdit:disabled, QTextEdit:disabled, QListView:disabled, QTableView:disabled {
    color: @disabled; background: @window; }
QAbstractItemView { alternate-background-color: @altBase; }
QAbstractItemView::item:hover { background: @hover; color: @text; }
QAbstractItemView::item:selected { background: @highlight; color: @highlighted; }
/* Combo boxes keep the style's own frame, arrow and focus frame, drawn in the palette's colours. */
QComboBox QAbstractItemView { color: @text; background: @base; border: 1px solid @border;
    selection-background-color: @highlight; selection-color: @highlighted; outline: 0; }
QHeaderView::section { color: @buttonText; background: @button; border: none; border-right: 1px solid @border;
    border-bottom: 1px solid @border; padding: 3px 6px; }
QTableCornerButton::section { background: @button; border: none; }
QTabWidget::pane { border: none; border-top: 2px solid @accent; }
QTabBar::tab { color: @buttonText; background: @button; border: 1px solid @border; border-bottom: none;
    border-top-left-radius: 4px; border-top-right-radius: 4px; padding: 5px 16px; margin-right: 2px; }
QTabBar::tab:hover:!selected { background: @hover; }
QTabBar::tab:selected { color: @onAccent; background: @accent; border-color: @accent; }
QTabBar::tab:focus { text-decoration: underline; }
QTabBar::tab:disabled { color: @disabled; }
QMenu { color: @text; background: @base; border: 1px solid @border; padding: 3px; }
QMenu::item { padding: 4px 22px 4px 22px; border-radius: 3px; }
QMenu::item:selected { background: @highlight; color: @highlighted; }
QMenu::item:disabled { color: @disabled; }
QMenu::separator { height: 1px; background: @border; margin: 3px 6px; }
QStatusBar { color: @windowText; background: @panel; border-top: 1px solid @border; }
QStatusBar::item { border: none; }
QStatusBar QLabel { color: @windowText; border: 1px solid @border; padding: 0 1px; }
QLabel#HintPanel { color: @windowText; background: @panel; border: 1px solid @border; border-radius: 3px;
    padding: 2px 8px; }
QWidget#Panel1, QWidget#Panel2, QWidget#Panel4 { background: @panel; border-bottom: 1px solid @border; }
QProgressBar { color: @text; background: @base; border: 1px solid @border; border-radius: 3px; text-align: center; }
QProgressBar::chunk { background: @accent; }
)";

QString styleSheetOf(const StyleColors& s) {
    QColor tint(s.accent);
    tint.setAlpha(60);
    const QColor window(s.window);
    const bool dark = window.lightness() < 128;
    // On the light style the accent is dark enough for bold titles; on dark ones the accent itself is.
    const QString title = QLatin1String(dark ? s.accent : s.highlight);
    QString css = QString::fromLatin1(kStyleSheet);
    const std::pair<const char*, QString> tokens[] = {
        {"@windowText", QLatin1String(s.windowText)},
        {"@window", QLatin1String(s.window)},
        {"@altBase", QLatin1String(s.altBase)},
        {"@base", QLatin1String(s.base)},
        {"@text", QLatin1String(s.text)},
        {"@buttonText", QLatin1String(s.buttonText)},
        {"@button", QLatin1String(s.button)},
        {"@highlighted", QLatin1String(s.highlighted)},
        {"@highlight", QLatin1String(s.highlight)},
        {"@accentTitle", title},
        {"@accent", QLatin1String(s.accent)},
        {"@onAccent", QLatin1String(s.onAccent)},
        {"@border", QLatin1String(s.border)},
        {"@panel", QLatin1String(s.panel)},
        {"@hover", QLatin1String(s.hover)},
        {"@pressed", QLatin1String(s.pressed)},
        {"@disabled", QLatin1String(s.disabled)},
        {"@focusTint", QStringLiteral("rgba(%1, %2, %3, %4)")
                           .arg(tint.red())
                           .arg(tint.green())
                           .arg(tint.blue())
                           .arg(tint.alpha())},
    };
    for (const auto& [token, value] : tokens)
        css.replace(QLatin1String(token), value);
    return css;
}

// Fusion draws check and radio indicators with an outline darker than the window, which vanishes on dark
// windows. The carried styles draw them from the palette: a frame in the text colour, the mark in the
// selection colour, on the edit-box colour, so they read on every style and inside selected list rows.
class CarriedStyle : public QProxyStyle {
public:
    CarriedStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const bool radio = element == PE_IndicatorRadioButton;
        if (!radio && element != PE_IndicatorCheckBox && element != PE_IndicatorItemViewItemCheck) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QPalette& pal = option->palette;
        const bool enabled = option->state & State_Enabled;
        const QPalette::ColorGroup group = enabled ? QPalette::Active : QPalette::Disabled;
        const qreal side = qMin(option->rect.width(), option->rect.height()) - 1.0;
        const QRectF box(QPointF(option->rect.center()) - QPointF(side / 2, side / 2), QSizeF(side, side));

        QColor frame = pal.color(group, QPalette::Text);
        frame.setAlphaF(enabled ? 0.7 : 0.45);
        if (enabled && (option->state & State_MouseOver))
            frame = pal.color(QPalette::Active, QPalette::Highlight);
        const QColor mark = enabled ? pal.color(QPalette::Active, QPalette::Highlight) : frame;

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(frame, 1.2));
        painter->setBrush(pal.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Base));
        if (radio)
            painter->drawEllipse(box);
        else
            painter->drawRoundedRect(box, 2.5, 2.5);
        if (option->state & State_On) {
            if (radio) {
                painter->setPen(Qt::NoPen);
                painter->setBrush(mark);
                painter->drawEllipse(box.center(), side * 0.26, side * 0.26);
            } else {
                QPainterPath tick;
                tick.moveTo(box.x() + side * 0.22, box.y() + side * 0.52);
                tick.lineTo(box.x() + side * 0.42, box.y() + side * 0.72);
                tick.lineTo(box.x() + side * 0.78, box.y() + side * 0.30);
                painter->setPen(
                    QPen(mark, qMax(1.5, side * 0.16), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter->setBrush(Qt::NoBrush);
                painter->drawPath(tick);
            }
        } else if (option->state & State_NoChange) {
            painter->setPen(QPen(mark, qMax(1.5, side * 0.16), Qt::SolidLine, Qt::RoundCap));
            painter->drawLine(QPointF(box.x() + side * 0.25, box.center().y()),
                              QPointF(box.right() - side * 0.25, box.center().y()));
        }
        painter->restore();
    }
};

constexpr char kCarriedKey[] = "clipvane-carried";

QString& applied() {
    static QString name;
    return name;
}

QString& platformStyleKey() {
    static QString key;
    return key;
}

// With a style sheet in force the application's style is a wrapper without a name: remember the key.
QString& styleKey() {
    static QString key;
    return key;
}

void setApplicationStyle(const QString& key) {
    if (styleKey().compare(key, Qt::CaseInsensitive) == 0)
        return;
    if (key == QLatin1String(kCarriedKey))
        QApplication::setStyle(new CarriedStyle);
    else
        QApplication::setStyle(key);
    styleKey() = key;
}

} // namespace

QStringList themeEntries() {
    return {QStringLiteral("Antartica"),       QStringLiteral("Classic Interface"),
            QStringLiteral("Dark Knight"),     QStringLiteral("Dark Water"),
            QStringLiteral("Night Erruption"), QStringLiteral("Under the stars")};
}

QString themeStyleName(int index) {
    static const char* const styles[] = {"Iceberg Classico", "Windows",       "TabletDark",
                                         "Aqua Graphite",    "Ruby Graphite", "Cyan Night"};
    return index >= 0 && index < 6 ? QString::fromLatin1(styles[index]) : QString();
}

QPalette themePalette(const QString& styleName) {
    const StyleColors* s = findStyle(styleName);
    return s ? paletteOf(*s) : QPalette();
}

QString themeStyleSheet(const QString& styleName) {
    const StyleColors* s = findStyle(styleName);
    return s ? styleSheetOf(*s) : QString();
}

void applyStyle(const QString& styleName) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    if (platformStyleKey().isEmpty()) {
        platformStyleKey() = QApplication::style()->name();
        styleKey() = platformStyleKey();
    }
    if (styleName == kPlatformStyleName) {
        app->setStyleSheet(QString());
        setApplicationStyle(platformStyleKey());
        QApplication::setPalette(QApplication::style()->standardPalette());
    } else if (const StyleColors* s = findStyle(styleName)) {
        setApplicationStyle(QString::fromLatin1(kCarriedKey));
        QApplication::setPalette(paletteOf(*s));
        app->setStyleSheet(styleSheetOf(*s));
    } else {
        return;
    }
    applied() = styleName;
}

void applyTheme(int index) {
    applyStyle(themeStyleName(index));
}

QString appliedStyleName() {
    return applied();
}

} // namespace clipvane
