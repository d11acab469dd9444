#include "DesktopEntry.h"

namespace clipvane {

namespace {

// The escapes of a desktop entry's string values.
QString escapeValue(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\')
            out += QLatin1String("\\\\");
        else if (c == u'\n')
            out += QLatin1String("\\n");
        else if (c == u'\r')
            out += QLatin1String("\\r");
        else if (c == u'\t')
            out += QLatin1String("\\t");
        else if (c == u' ' && i == 0)
            out += QLatin1String("\\s");
        else
            out += c;
    }
    return out;
}

void addLine(QString& text, const char* key, const QString& value) {
    if (value.isEmpty())
        return;
    text += QLatin1String(key) + u'=' + escapeValue(value) + u'\n';
}

} // namespace

QString desktopExecArgument(const QString& program) {
    QString quoted;
    for (QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

QByteArray desktopEntryText(const DesktopEntryFields& f) {
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n");
    addLine(text, "Name", f.name);
    addLine(text, "GenericName", f.genericName);
    addLine(text, "Comment", f.comment);
    addLine(text, "Exec", desktopExecArgument(f.program));
    addLine(text, "TryExec", f.program);
    addLine(text, "Path", f.workingDirectory);
    addLine(text, "Icon", f.icon);
    text += QStringLiteral("Terminal=false\n");
    addLine(text, "Categories", f.categories);
    addLine(text, "Keywords", f.keywords);
    addLine(text, "StartupWMClass", f.startupWmClass);
    return text.toUtf8();
}

} // namespace clipvane
