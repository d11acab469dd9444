// Build tool: renders the application's SVG icon as the PNG sizes of the hicolor icon theme.
//   clipvane_render_icon <icon.svg> <small.svg> <output folder> <name> <size>...
// writes <output folder>/<size>x<size>/apps/<name>.png for each size, from the small drawing up to 24 px
// (the full one loses its shapes there).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 6) {
        std::fprintf(stderr,
                     "usage: clipvane_render_icon <icon.svg> <small.svg> <output folder> <name> <size>...\n");
        return 2;
    }
    QSvgRenderer full(args.at(1));
    QSvgRenderer small(args.at(2));
    for (int i : {1, 2}) {
        if (!(i == 1 ? full : small).isValid()) {
            std::fprintf(stderr, "clipvane_render_icon: cannot read %s\n", qPrintable(args.at(i)));
            return 1;
        }
    }
    for (qsizetype i = 5; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            std::fprintf(stderr, "clipvane_render_icon: bad size %s\n", qPrintable(args.at(i)));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        (size <= 24 ? small : full).render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString folder = QDir(args.at(3)).filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = QDir(folder).filePath(args.at(4) + QStringLiteral(".png"));
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "clipvane_render_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
