#include "DesktopShell.h"

#include <QDesktopServices>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace clipvane {

namespace {

// Why the kernel would refuse to run this file, as far as can be told before trying.
int startErrorOf(const QString& program) {
    const QByteArray path = program.toLocal8Bit();
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode) || ::access(path.constData(), X_OK) != 0)
        return EACCES;
    return 0;
}

// QProcess reports a failed exec as "execv: <description>": find the number behind the description.
int errnoOfDescription(const QString& errorString) {
    for (int e = 1; e < 134; ++e) {
        if (errorString.endsWith(QString::fromLocal8Bit(std::strerror(e))))
            return e;
    }
    return 0;
}

} // namespace

bool DesktopShell::openUrl(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return false; // only web addresses ever reach the desktop's handler
    return QDesktopServices::openUrl(url);
}

std::optional<OsError> DesktopShell::startDetached(const QString& program, const QStringList& arguments) {
    // A bare name would be looked up in PATH: only a path to a file is ever started.
    if (!program.startsWith(QLatin1Char('/')))
        return OsError::fromErrno(ENOENT);
    if (const int err = startErrorOf(program))
        return OsError::fromErrno(err);
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached())
        return std::nullopt;
    // The file changed between the check and the start, or the kernel refused its format.
    const int err = startErrorOf(program);
    if (err)
        return OsError::fromErrno(err);
    if (const int described = errnoOfDescription(process.errorString()))
        return OsError::fromErrno(described);
    return OsError{ENOEXEC, process.errorString()};
}

bool DesktopShell::openMailTo(const QString& address) {
    if (!address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return false;
    // Strict: an address with characters a mailto: address must encode is refused, not repaired.
    const QUrl url = QUrl::fromEncoded(address.toUtf8(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) != 0)
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace clipvane
