#include "Pictures.h"

#include "Controls.h"
#include "Hints.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QToolButton>
#include <algorithm>

namespace clipvane {

namespace {

QByteArray svgSource(const QString& path) {
    // Read once: the same drawing is rendered at several sizes, states and palettes.
    static QHash<QString, QByteArray> sources;
    auto it = sources.constFind(path);
    if (it != sources.constEnd())
        return *it;
    QFile file(path);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    sources.insert(path, data);
    return data;
}

// Disabled pictures: grey and faint, whatever their accents.
void greyOut(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = line[x];
            const int a = qAlpha(px) * 45 / 100;
            const int g = qGray(px) * 45 / 100; // premultiplied: scale with the alpha
            line[x] = qRgba(g, g, g, a);
        }
    }
}

// Pixel sizes up to this one are drawn from a picture's small drawing where it has one.
constexpr int kSmallPicturePixels = 24;

class PictureEngine final : public QIconEngine {
public:
    explicit PictureEngine(QString path, QString smallPath = {})
        : m_path(std::move(path)), m_smallPath(std::move(smallPath)) {}

    QIconEngine* clone() const override { return new PictureEngine(m_path, m_smallPath); }
    QString key() const override { return QStringLiteral("clipvane-picture"); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    bool isNull() override { return !QSvgRenderer(svgSource(m_path)).isValid(); }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        const bool disabled = mode == QIcon::Disabled;
        const QColor ink = QGuiApplication::palette().color(disabled ? QPalette::Disabled : QPalette::Active,
                                                            QPalette::ButtonText);
        const QSize pixels = (QSizeF(size) * scale).toSize();
        if (pixels.isEmpty())
            return {};
        const QString& path =
            !m_smallPath.isEmpty() && std::max(pixels.width(), pixels.height()) <= kSmallPicturePixels
                ? m_smallPath
                : m_path;
        const QString cacheKey = QStringLiteral("clipvane:%1:%2x%3:%4:%5")
                                     .arg(path)
                                     .arg(pixels.width())
                                     .arg(pixels.height())
                                     .arg(ink.rgba())
                                     .arg(disabled);
        QPixmap cached;
        if (!QPixmapCache::find(cacheKey, &cached)) {
            QByteArray source = svgSource(path);
            source.replace("currentColor", ink.name(QColor::HexRgb).toLatin1());
            QSvgRenderer renderer(source);
            QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            if (renderer.isValid()) {
                QPainter p(&image);
                renderer.render(&p);
            }
            if (disabled)
                greyOut(image);
            cached = QPixmap::fromImage(image);
            QPixmapCache::insert(cacheKey, cached);
        }
        cached.setDevicePixelRatio(scale);
        return cached;
    }

private:
    QString m_path;
    QString m_smallPath; // empty: one drawing for every size
};

} // namespace

QString picturePath(const QString& name) {
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

QIcon picture(const QString& name) {
    return QIcon(new PictureEngine(picturePath(name)));
}

QToolButton* pictureButton(QWidget* parent, const char* name, const QString& pictureName,
                           const QString& caption, const QString& hint, QSize size) {
    auto* b = named(new QToolButton(parent), name);
    b->setAccessibleName(caption);
    b->setIcon(picture(pictureName));
    b->setIconSize(QSize(32, 32).boundedTo(size - QSize(8, 8)));
    b->setFixedSize(size);
    b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    b->setAutoRaise(true);
    setHint(b, hint);
    return b;
}

QIcon applicationIcon() {
    // The tray and small window icons get the drawing made for their size.
    return QIcon(new PictureEngine(picturePath(QStringLiteral("clipvane")),
                                   picturePath(QStringLiteral("clipvane-small"))));
}

} // namespace clipvane
