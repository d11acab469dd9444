#include "Entry.h"

#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
#include "platform/linux/LazyHttpClient.h"
#include "platform/linux/LinuxConnectivity.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace clipvane::cli {

namespace {

void print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Standard input to its end, bounded as every reader is.
FileBytes readStandardInput() {
    FileBytes result;
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        result.error = OsError::fromFile(in, errno);
        return result;
    }
    char buffer[65536];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            result.error = OsError::fromFile(in, errno);
            return result;
        }
        if (n == 0)
            break;
        if (result.bytes.size() + n > kMaxReadSize) {
            result.error.description = QStringLiteral("larger than 1 GiB");
            return result;
        }
        result.bytes.append(buffer, n);
    }
    result.ok = true;
    return result;
}

} // namespace

std::optional<int> runCommandLine(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    switch (parsed.action) {
    case ParsedCommandLine::Action::Gui:
        return std::nullopt;
    case ParsedCommandLine::Action::Help:
        print(stdout, helpText());
        return 0;
    case ParsedCommandLine::Action::Version:
        print(stdout, versionText());
        return 0;
    case ParsedCommandLine::Action::UsageError:
        print(stderr, QStringLiteral("Clipvane: %1\nTry \"Clipvane --help\".\n").arg(parsed.error));
        return kUsageOrFileError;
    case ParsedCommandLine::Action::Check:
        break;
    }

    QCoreApplication app(argc, argv);
    LinuxConnectivity connectivity;
    // The module the GUI loads, found where the GUI finds it.
    LazyHttpClient http(LazyHttpClient::moduleFolders(QCoreApplication::applicationDirPath(),
                                                      QStringLiteral(CLIPVANE_MODULE_RELATIVE_DIR),
                                                      QStringLiteral(CLIPVANE_MODULE_DIR)));
    if (parsed.check.timeout) {
        HttpTimeouts t;
        t.total = *parsed.check.timeout;
        t.connect = std::min(t.connect, t.total);
        t.idle = std::min(t.idle, t.total);
        http.setTimeouts(t);
    }
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) ||
        !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return kUsageOrFileError;
    CheckIo io;
    io.out = &out;
    io.err = &err;
    io.progress = ::isatty(STDERR_FILENO) == 1;
    io.readStandardInput = readStandardInput;
    const int status = runCheck(parsed.check, connectivity, http, io);
    out.flush();
    std::fflush(stdout);
    return status;
}

} // namespace clipvane::cli
