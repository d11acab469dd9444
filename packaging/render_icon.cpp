// Build tool: renders the application's SVG icon as the PNG sizes of the hicolor icon theme.
//   clipvane_render_icon <icon.svg> <output folder> <name> <size>...
// writes <output folder>/<size>x<size>/apps/<name>.png for each size.
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
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: clipvane_render_icon <icon.svg> <output folder> <name> <size>...\n");
        return 2;
    }
    QSvgRenderer svg(args.at(1));
    if (!svg.isValid()) {
        std::fprintf(stderr, "clipvane_render_icon: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    for (qsizetype i = 4; i < args.size(); ++i) {
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
        svg.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString folder = QDir(args.at(2)).filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString file = QDir(folder).filePath(args.at(3) + QStringLiteral(".png"));
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "clipvane_render_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
