#include "Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace clipvane {

namespace {
// Whatever a file holds, coordinates stay in the range window systems accept.
constexpr int kCoordinateLimit = 32767;
int coordinate(int v) {
    return qBound(-kCoordinateLimit, v, kCoordinateLimit);
}
int extent(int v) {
    return qBound(0, v, kCoordinateLimit);
}
} // namespace

void applyStoredPlacement(QWidget& w, const StoredPlacement& p) {
    if (p.top)
        w.move(w.x(), coordinate(*p.top));
    if (p.left)
        w.move(coordinate(*p.left), w.y());
    if (p.width)
        w.resize(extent(*p.width), w.height());
    if (p.height)
        w.resize(w.width(), extent(*p.height));
}

Placement currentPlacement(const QWidget& w) {
    return {w.y(), w.x(), w.width(), w.height()};
}

void centreOnScreen(QWidget& w) {
    QScreen* screen = w.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize frame = w.frameGeometry().size() - w.size();
    const QSize fitted(qMin(w.width(), available.width() - frame.width()),
                       qMin(w.height(), available.height() - frame.height()));
    if (fitted != w.size())
        w.resize(fitted); // never below the window's minimum
    const QSize outer = w.size() + frame;
    w.move(available.x() + (available.width() - outer.width()) / 2,
           available.y() + (available.height() - outer.height()) / 2);
}

} // namespace clipvane
