#include "CheckCommand.h"

#include "cli/InputLists.h"
#include "core/ListFile.h"
#include "core/Options.h"
#include "core/UrlVerdict.h"
#include "platform/Connectivity.h"
#include "validation/CheckEngine.h"
#include "validation/UrlCheck.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>

namespace clipvane::cli {

QString reasonFor(const CheckRun& run, int index) {
    return run.reasonOf(index);
}

namespace {

void write(QIODevice* device, const QString& text) {
    if (device)
        device->write(text.toUtf8());
}

// Control characters of an address would steer the terminal: shown as \xNN instead.
QString printable(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            out += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// The verdicts in one of the three formats, written as they come so that a long run shows its head early.
class ResultWriter {
public:
    ResultWriter(QIODevice* out, OutputFormat format, ShownVerdicts shown)
        : m_out(out), m_format(format), m_shown(shown) {}

    void begin() {
        if (m_format == OutputFormat::Csv)
            write(m_out, QStringLiteral("address,verdict,reason\r\n"));
        else if (m_format == OutputFormat::Json)
            write(m_out, QStringLiteral("{\"results\":["));
    }

    void add(const QString& address, const QString& url, bool valid, const QString& reason) {
        if ((m_shown == ShownVerdicts::ValidOnly && !valid) ||
            (m_shown == ShownVerdicts::InvalidOnly && valid))
            return;
        const QString verdict = valid ? QStringLiteral("valid") : QStringLiteral("invalid");
        switch (m_format) {
        case OutputFormat::Plain:
            write(m_out, verdict + QLatin1Char('\t') + printable(address) +
                             (reason.isEmpty() ? QString() : QLatin1Char('\t') + printable(reason)) +
                             QLatin1Char('\n'));
            break;
        case OutputFormat::Csv:
            write(m_out, csvField(address) + QLatin1Char(',') + verdict + QLatin1Char(',') +
                             csvField(reason) + QStringLiteral("\r\n"));
            break;
        case OutputFormat::Json: {
            const QJsonObject o{{QStringLiteral("address"), address},
                                {QStringLiteral("url"), url},
                                {QStringLiteral("verdict"), verdict},
                                {QStringLiteral("reason"), reason}};
            m_out->write(m_first ? "\n" : ",\n");
            m_out->write(QJsonDocument(o).toJson(QJsonDocument::Compact));
            m_first = false;
            break;
        }
        }
    }

    void end(int checked, int valid, int invalid) {
        if (m_format != OutputFormat::Json)
            return;
        write(m_out, QStringLiteral("\n],\"checked\":%1,\"valid\":%2,\"invalid\":%3}\n")
                         .arg(checked)
                         .arg(valid)
                         .arg(invalid));
    }

private:
    QIODevice* m_out;
    OutputFormat m_format;
    ShownVerdicts m_shown;
    bool m_first = true;
};

QString addressCount(int n) {
    return n == 1 ? QStringLiteral("1 address") : QStringLiteral("%1 addresses").arg(n);
}

} // namespace

int runCheck(const CheckOptions& options, Connectivity& connectivity, HttpClient& http, const CheckIo& io) {
    const InputAddresses input = collectAddresses(options.inputs, io.readStandardInput);
    if (!input.ok) {
        write(io.err, QStringLiteral("Clipvane: %1\n").arg(input.error));
        return kUsageOrFileError;
    }
    const QStringList& addresses = input.addresses;
    // The offline rule of the window (a verdict by the option) means nothing here: say so and stop.
    if (!addresses.isEmpty() && !connectivity.isInternetConnected()) {
        write(io.err, QStringLiteral("Clipvane: no Internet connection: nothing was checked.\n"));
        return kNoConnection;
    }

    ResultWriter writer(io.out, options.format, options.shown);
    writer.begin();
    // Options of our own: the GUI's state and files stay untouched. Should the connection go during the
    // run, a check gets the window's offline verdict under the ticked option: invalid, never a pass.
    Options checkOptions;
    checkOptions.setValidateClipboardUrl(true);
    UrlChecker checker(connectivity, http, checkOptions);
    CheckEngine engine(connectivity, http, checker, options.limits);
    QElapsedTimer clock;
    clock.start();
    const std::unique_ptr<CheckRun> run = engine.start(addresses);
    QStringList validAddresses;
    int valid = 0;
    int invalid = 0;
    qint64 lastProgress = -1;
    QEventLoop loop;
    QObject::connect(run.get(), &CheckRun::checked, &loop, [&](int index, bool accepted) {
        const QString& address = addresses[index];
        if (accepted) {
            ++valid;
            validAddresses.append(address);
        } else {
            ++invalid;
        }
        writer.add(address, NormaliseUrl(address), accepted, accepted ? QString() : reasonFor(*run, index));
    });
    if (io.progress) {
        QObject::connect(run.get(), &CheckRun::progressed, &loop, [&](int completed) {
            if (lastProgress >= 0 && clock.elapsed() - lastProgress < 100 && completed < run->count())
                return;
            lastProgress = clock.elapsed();
            write(io.err, QStringLiteral("\rChecking: %1 of %2").arg(completed).arg(run->count()));
        });
    }
    QObject::connect(run.get(), &CheckRun::finished, &loop, &QEventLoop::quit);
    if (!run->isFinished())
        loop.exec();
    if (io.progress && lastProgress >= 0)
        write(io.err, QStringLiteral("\r\x1b[K"));
    writer.end(valid + invalid, valid, invalid);
    write(io.err, QStringLiteral("Checked %1: %2 valid, %3 invalid, in %4 s.\n")
                      .arg(addressCount(valid + invalid))
                      .arg(valid)
                      .arg(invalid)
                      .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1));

    if (!options.validListPath.isEmpty()) {
        const WriteResult written = WriteListFile(options.validListPath, validAddresses, input.encoding);
        if (!written.ok) {
            write(io.err, QStringLiteral("Clipvane: cannot write %1: %2\n")
                              .arg(options.validListPath, written.error.description));
            return kUsageOrFileError;
        }
    }
    return invalid > 0 ? kSomeInvalid : kAllValid;
}

} // namespace clipvane::cli
