#include "CommandLine.h"

#include "update/BuildInfo.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace clipvane::cli {

namespace {

struct Options {
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")}};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")}};
    QCommandLineOption check{QStringLiteral("check")};
    QCommandLineOption format{QStringLiteral("format"), QString(), QStringLiteral("format")};
    QCommandLineOption concurrency{QStringLiteral("concurrency"), QString(), QStringLiteral("n")};
    QCommandLineOption perHost{QStringLiteral("per-host"), QString(), QStringLiteral("n")};
    QCommandLineOption timeout{QStringLiteral("timeout"), QString(), QStringLiteral("seconds")};
    QCommandLineOption validOnly{QStringLiteral("valid-only")};
    QCommandLineOption invalidOnly{QStringLiteral("invalid-only")};
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
                              QStringLiteral("file")};

    QList<QCommandLineOption> all() const {
        return {help, version, check, format, concurrency, perHost, timeout, validOnly, invalidOnly, output};
    }
};

// Whether an argument names one of our options (a long one possibly with "=value", or a short one
// possibly with its value attached).
bool isOurOption(const QString& arg, const Options& options) {
    if (arg.startsWith(QLatin1String("--"))) {
        const QString name = arg.mid(2).section(QLatin1Char('='), 0, 0);
        for (const QCommandLineOption& o : options.all())
            if (o.names().contains(name) && name.size() > 1)
                return true;
        return false;
    }
    return arg == QLatin1String("-h") || arg == QLatin1String("-?") || arg == QLatin1String("-v") ||
           arg.startsWith(QLatin1String("-o"));
}

ParsedCommandLine usageError(const QString& text) {
    ParsedCommandLine p;
    p.action = ParsedCommandLine::Action::UsageError;
    p.error = text;
    return p;
}

// A whole number in [low, high], or nothing.
std::optional<int> boundedInt(const QString& text, int low, int high) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < low || n > high)
        return std::nullopt;
    return n;
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    const Options o;
    bool ours = false;
    for (qsizetype i = 1; i < arguments.size() && !ours; ++i)
        ours = isOurOption(arguments[i], o);
    if (!ours)
        return {};

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions(o.all());
    if (!parser.parse(arguments))
        return usageError(parser.errorText());

    ParsedCommandLine result;
    if (parser.isSet(o.help)) {
        result.action = ParsedCommandLine::Action::Help;
        return result;
    }
    if (parser.isSet(o.version)) {
        result.action = ParsedCommandLine::Action::Version;
        return result;
    }
    if (!parser.isSet(o.check))
        return usageError(QStringLiteral("Checking options need --check."));

    CheckOptions& c = result.check;
    c.inputs = parser.positionalArguments();
    if (c.inputs.isEmpty())
        return usageError(QStringLiteral("--check needs a file, an address or - (standard input)."));

    if (parser.isSet(o.format)) {
        const QString f = parser.value(o.format);
        if (f == QLatin1String("plain"))
            c.format = OutputFormat::Plain;
        else if (f == QLatin1String("csv"))
            c.format = OutputFormat::Csv;
        else if (f == QLatin1String("json"))
            c.format = OutputFormat::Json;
        else
            return usageError(QStringLiteral("--format takes plain, csv or json, not \"%1\".").arg(f));
    }
    if (parser.isSet(o.concurrency)) {
        const auto n = boundedInt(parser.value(o.concurrency), 1, kMaxConcurrency);
        if (!n)
            return usageError(
                QStringLiteral("--concurrency takes a whole number from 1 to %1.").arg(kMaxConcurrency));
        c.limits.total = *n;
    }
    if (parser.isSet(o.perHost)) {
        const auto n = boundedInt(parser.value(o.perHost), 1, kMaxPerHost);
        if (!n)
            return usageError(
                QStringLiteral("--per-host takes a whole number from 1 to %1.").arg(kMaxPerHost));
        c.limits.perHost = *n;
    }
    if (parser.isSet(o.timeout)) {
        bool ok = false;
        const double s = parser.value(o.timeout).trimmed().toDouble(&ok);
        // A day at most: beyond that the milliseconds would say nothing a user means.
        if (!ok || !(s > 0) || s > 86400)
            return usageError(QStringLiteral("--timeout takes a number of seconds above 0."));
        c.timeout = std::chrono::milliseconds(std::max<qint64>(1, qint64(s * 1000 + 0.5)));
    }
    if (parser.isSet(o.validOnly) && parser.isSet(o.invalidOnly))
        return usageError(QStringLiteral("--valid-only and --invalid-only cannot be given together."));
    if (parser.isSet(o.validOnly))
        c.shown = ShownVerdicts::ValidOnly;
    else if (parser.isSet(o.invalidOnly))
        c.shown = ShownVerdicts::InvalidOnly;
    if (parser.isSet(o.output)) {
        c.validListPath = parser.value(o.output);
        if (c.validListPath.isEmpty())
            return usageError(QStringLiteral("-o needs a file name."));
    }
    result.action = ParsedCommandLine::Action::Check;
    return result;
}

QString helpText() {
    const HttpBatchLimits defaults;
    return QStringLiteral(
               "Usage: Clipvane [--help | --version]\n"
               "       Clipvane --check [OPTIONS] [FILE | URL | -]...\n"
               "\n"
               "Without options Clipvane starts its window and watches the clipboard for web addresses.\n"
               "\n"
               "  -h, --help            show this text and exit\n"
               "  -v, --version         show the version and edition and exit\n"
               "      --check           check every address given, without a window: a FILE is read as a\n"
               "                        URL list (.list, text, or an HTML page: its links), - reads a list\n"
               "                        from standard input, anything else is an address\n"
               "\n"
               "Options of --check:\n"
               "      --format FORMAT   plain (the default), csv or json\n"
               "      --valid-only      print the valid addresses only\n"
               "      --invalid-only    print the invalid addresses only\n"
               "  -o, --output FILE     write the valid addresses to FILE as a URL list\n"
               "      --concurrency N   checks at once in all (default %1)\n"
               "      --per-host N      checks at once per host name (default %2, at most %3)\n"
               "      --timeout S       seconds a check may take (default %4)\n"
               "\n"
               "Exit status of --check: 0 every address is valid, 1 some address is invalid,\n"
               "2 a usage error or a file that cannot be read or written, 3 no Internet connection.\n")
        .arg(defaults.total)
        .arg(defaults.perHost)
        .arg(kMaxPerHost)
        .arg(qint64(std::chrono::duration_cast<std::chrono::seconds>(HttpTimeouts{}.total).count()));
}

QString versionText() {
    return QStringLiteral("Clipvane %1 (%2)\n").arg(localVersion(), buildEdition().label);
}

} // namespace clipvane::cli
