#include "XdgDesktopShortcut.h"

#include "core/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

// The program as one quoted argument of Exec: nothing in its path can split it or expand.
QString execArgument(const QString& program) {
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

} // namespace

XdgDesktopShortcut::XdgDesktopShortcut(QString desktopFolder) : m_folder(std::move(desktopFolder)) {}

QString XdgDesktopShortcut::desktopFolder() const {
    return m_folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation) : m_folder;
}

QByteArray XdgDesktopShortcut::desktopEntry(const ShortcutRequest& r) {
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n");
    text += QStringLiteral("Name=") + escapeValue(r.name) + u'\n';
    text += QStringLiteral("Comment=") + escapeValue(r.description) + u'\n';
    text += QStringLiteral("Exec=") + escapeValue(execArgument(r.target)) + u'\n';
    text += QStringLiteral("TryExec=") + escapeValue(r.target) + u'\n';
    text += QStringLiteral("Path=") + escapeValue(r.workingDirectory) + u'\n';
    text += QStringLiteral("Terminal=false\n"
                           "Categories=Utility;\n");
    return text.toUtf8();
}

DesktopShortcut::Result XdgDesktopShortcut::create(const ShortcutRequest& request) {
    const QString folder = desktopFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return Result::Failed;
    const QString path = QDir(folder).filePath(request.name + QStringLiteral(".desktop"));
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink())
        return Result::AlreadyThere;
    if (!writeFileAtomically(path, desktopEntry(request)).ok)
        return Result::Failed;
    // File managers start only launchers marked executable.
    const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                                    QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::ExeOther;
    if (!QFile::setPermissions(path, mode)) {
        QFile::remove(path);
        return Result::Failed;
    }
    return Result::Created;
}

} // namespace clipvane
