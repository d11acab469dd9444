// List files of a million lines: open into an empty list, save, append to a list of 100,000 entries.
#include "BenchUtil.h"
#include "core/CheckListModel.h"
#include "core/Dialogs.h"
#include "core/Options.h"
#include "core/OsError.h"
#include "core/SortUnique.h"
#include "lists/ListFiles.h"
#include "lists/SaveValidation.h"
#include "platform/Connectivity.h"
#include "platform/HttpClient.h"
#include "validation/UrlCheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace clipvane;

namespace {

constexpr int kLines = 1'000'000;
constexpr int kExisting = 100'000;

// Answers every question with Yes and every open dialog with the file given.
class BenchDialogs final : public Dialogs {
public:
    QString file;
    Answer message(MessageKind, const QString&, Buttons) override { return Answer::Yes; }
    FileDialogResult openFile(const FileDialogRequest&) override { return {true, file, 4}; }
    FileDialogResult saveFile(const FileDialogRequest&) override { return {true, file, 5}; }
};

class BenchWindow final : public ListFileWindow {
public:
    bool validateBeforeSave() override { return validate ? validate() : true; }
    void RaiseLastError(const OsError& e) override {
        std::printf("error %d: %s\n", e.code, qPrintable(e.description));
    }
    std::function<bool()> validate;
};

struct Offline final : Connectivity {
    bool isInternetConnected() override { return false; }
};

struct NoHttp final : HttpClient {
    HttpStatusResult fetchStatus(const HttpStatusRequest&) override { return {}; }
    HttpGetResult get(const HttpGetRequest&) override { return {}; }
    std::unique_ptr<HttpStatusBatch> startStatusBatch(QList<HttpStatusRequest>, HttpBatchLimits, QObject*,
                                                      std::function<void(HttpStatusResults)>) override {
        return nullptr; // never reached: the benchmark runs offline
    }
};

struct NoPanel final : SaveValidationPanel {
    void setPanelVisible(bool) override {}
    void setBlinking(bool) override {}
    void setUrlInValidation(const QString&) override {}
    void setLeftToValidate(const QString&) override {}
    void setCount(const QString&) override {}
    void setCountVisible(bool) override {}
    void setProgressMaximum(int) override {}
    void setProgressPosition(int) override {}
};

// CPU time of this process in ms: on a shared machine it tells the work apart from the waiting.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void cpuLine(double since) {
    std::printf("%-60s %10.3f ms\n", "  CPU time", cpuMs() - since);
}

// Peak resident size since the last reset, in MiB.
double peakMiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

QByteArray makeFile(int lines) {
    QRandomGenerator rng(42);
    QByteArray bytes;
    bytes.reserve(qsizetype(lines) * 52);
    for (int i = 0; i < lines; ++i) {
        bytes += bench::randomUrl(rng).toLatin1();
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.list"));
    {
        QFile f(big);
        if (!f.open(QIODevice::WriteOnly) || f.write(makeFile(kLines)) < 0) {
            std::printf("cannot write %s\n", qPrintable(big));
            return 1;
        }
    }
    const double fileMiB = double(QFileInfo(big).size()) / (1024.0 * 1024.0);
    std::printf("list file: %d lines, %.1f MiB\n", kLines, fileMiB);

    BenchDialogs dialogs;
    dialogs.file = big;
    BenchWindow window;
    bool modified = false;
    QString title;
    const QString defaultPath = dir.filePath(QStringLiteral("Clipvane.list"));

    // Open into an empty list.
    {
        CheckListModel list;
        MainListFiles files(list, dialogs, window, modified, title, defaultPath);
        const double before = bench::rssMiB();
        resetPeak();
        const auto t0 = bench::Clock::now();
        const double c0 = cpuMs();
        files.open();
        const double ms = bench::msSince(t0);
        const double cpu = cpuMs() - c0;
        const double after = bench::rssMiB();
        const double peak = peakMiB();
        bench::require(list.count() == kLines, "every line opened into the list");
        bench::report("open 1,000,000 lines into an empty list", ms, "ms", 1500);
        std::printf("%-60s %10.3f ms\n", "  CPU time", cpu);
        bench::report("  memory held by the list, times the file size", (after - before) / fileMiB, "x", 4);
        bench::report("  peak memory while opening, times the file size", (peak - before) / fileMiB, "x", 4);

        // Save it to the default list file (no validation option).
        auto t1 = bench::Clock::now();
        double c1 = cpuMs();
        files.save();
        bench::report("save 1,000,000 entries (write only)", bench::msSince(t1), "ms", 500);
        cpuLine(c1);
        bench::require(QFileInfo(defaultPath).size() == QFileInfo(big).size(), "the whole list was saved");

        // The same save with the validation step of no option, which lets messages run once per entry.
        Offline offline;
        NoHttp http;
        Options options;
        options.setValidateClipboardUrl(false);
        UrlChecker checker(offline, http, options);
        SaveValidator validator(offline, checker, dialogs, [] { QCoreApplication::processEvents(); }, {});
        NoPanel panel;
        window.validate = [&] { return validator.validateMainList(list, SaveValidationOption::None, panel); };
        t1 = bench::Clock::now();
        files.save();
        std::printf("%-60s %10.3f ms\n", "save 1,000,000 entries with the validation walk (no option)",
                    bench::msSince(t1));
        window.validate = {};
    }

    // Append it to a list of 100,000 captured (sorted) entries.
    {
        CheckListModel list;
        QRandomGenerator rng(7);
        QStringList existing;
        existing.reserve(kExisting);
        for (int i = 0; i < kExisting; ++i)
            existing.append(bench::randomUrl(rng));
        list.appendTexts(existing);
        SortUnique(list);
        MainListFiles files(list, dialogs, window, modified, title, defaultPath);
        const auto t0 = bench::Clock::now();
        const double c0 = cpuMs();
        files.open(); // "not empty": Yes appends without duplicates
        const double ms = bench::msSince(t0);
        const double cpu = cpuMs() - c0;
        std::printf("list after append: %d entries\n", list.count());
        bench::require(list.count() > kExisting + kLines / 2, "the file was appended");
        bench::report("append 1,000,000 lines to 100,000 entries with SortUnique", ms, "ms", 3000);
        std::printf("%-60s %10.3f ms\n", "  CPU time", cpu);

        // Its two halves: the read and the sort.
        list.replaceTexts(existing);
        SortUnique(list);
        const auto t1 = bench::Clock::now();
        const ListFileContent read = ReadListFile(big);
        list.appendTexts(read.lines);
        const double readMs = bench::msSince(t1);
        const auto t2 = bench::Clock::now();
        SortUnique(list);
        std::printf("%-60s %10.3f ms\n", "  of which reading and appending", readMs);
        std::printf("%-60s %10.3f ms\n", "  of which SortUnique", bench::msSince(t2));
    }
    return bench::exitCode();
}
