#pragma once
// Scripted stand-ins for the platform services and the dialogs service.
#include "core/Dialogs.h"
#include "platform/Clipboard.h"
#include "platform/Connectivity.h"
#include "platform/DesktopShortcut.h"
#include "platform/Drives.h"
#include "platform/HostResolver.h"
#include "platform/HttpClient.h"
#include "platform/LocalMachine.h"
#include "platform/Printing.h"
#include "platform/Shell.h"
#include "platform/Tray.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QQueue>
#include <QRect>
#include <QSet>
#include <QUrl>
#include <QWaitCondition>
#include <functional>

namespace clipvane {
class CapturePipeline;
}

namespace clipvane::test {

// Records every dialog and answers from a queue. A dialog with no scripted answer fails the test.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        MessageKind kind;
        QString text;
        Buttons buttons;
    };
    struct FileShown {
        bool save;
        FileDialogRequest request;
    };

    void answer(Answer a) { m_answers.enqueue(a); }
    void answerFile(FileDialogResult r) { m_fileAnswers.enqueue(r); }
    // Called when a message box appears, before it is answered (e.g. to capture state at that moment).
    std::function<void(const Shown&)> onMessage;

    Answer message(MessageKind kind, const QString& text, Buttons buttons) override;
    FileDialogResult openFile(const FileDialogRequest& request) override;
    FileDialogResult saveFile(const FileDialogRequest& request) override;

    QList<Shown> shown;
    QList<FileShown> fileShown;
    QStringList texts() const;
    bool allAnswersUsed() const { return m_answers.isEmpty() && m_fileAnswers.isEmpty(); }

private:
    QQueue<Answer> m_answers;
    QQueue<FileDialogResult> m_fileAnswers;
};

class FakeClipboard final : public Clipboard {
    Q_OBJECT
public:
    ClipboardContent read() const override { return content; }
    void join() override { joined = true; }
    void leave() override { joined = false; }
    // Puts text on the clipboard and notifies, as a copy in another program does (only once joined).
    void copy(const QString& text);
    void copyContent(const ClipboardContent& c);

    ClipboardContent content;
    bool joined = false;
    // Runs after each notification: the rigs wait there for the capture's verdict, which comes from the
    // event loop, so that a test reads the capture's outcome right after its copy.
    std::function<void()> afterCopy;
};

// Lets the event loop run until the pipeline has decided every copy it took (for 10 s at most). Inside the
// pipeline's own steps (a copy made while a capture lets pending messages run) it returns at once: that copy
// waits for the running capture.
void settleCaptures(const CapturePipeline* pipeline);

class FakeConnectivity final : public Connectivity {
public:
    bool isInternetConnected() override {
        ++calls;
        return connected;
    }
    bool connected = false;
    int calls = 0;
};

// Answers status requests from a table of URL -> status; unknown URLs fail. Records every request.
class FakeHttpClient final : public HttpClient {
public:
    HttpStatusResult fetchStatus(const HttpStatusRequest& request) override;
    HttpGetResult get(const HttpGetRequest& request) override;
    // Answers each request from the table in a queued call of its own, in the order given.
    std::unique_ptr<HttpStatusBatch>
    startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                     std::function<void(HttpStatusResults)> onResults) override;

    QHash<QString, int> statuses;
    QList<HttpBatchLimits> batchLimits;
    QHash<QString, HttpGetResult> replies;
    QList<HttpStatusRequest> statusRequests;
    QList<HttpGetRequest> getRequests;
    std::function<void(const QString& url)> onRequest; // runs while the "request" blocks
};

class FakeResolver final : public HostResolver {
public:
    // Asked from worker threads too (host look-ups off the GUI thread).
    QString resolveIPv4(const QString& host) override {
        QMutexLocker lock(&mutex);
        asked.append(host);
        return answers.value(host);
    }
    QMutex mutex;
    QHash<QString, QString> answers;
    QStringList asked;
};

// A machine whose host name and process memory the test sets; nothing is "unreadable".
class FakeLocalMachine final : public LocalMachine {
public:
    QString hostName() override { return host; }
    std::optional<quint64> residentSetBytes() override {
        ++memoryReads;
        return residentBytes;
    }
    QString host = QStringLiteral("testbox");
    std::optional<quint64> residentBytes = 12345678;
    int memoryReads = 0;
};

class FakeShell final : public Shell {
public:
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return succeed;
    }
    std::optional<OsError> startDetached(const QString& program, const QStringList& arguments) override {
        started.append({program, arguments});
        return startError;
    }
    bool openMailTo(const QString& address) override {
        mailed.append(address);
        return succeed;
    }
    QList<QUrl> opened;
    QList<QPair<QString, QStringList>> started;
    QStringList mailed;
    bool succeed = true;               // for openUrl
    std::optional<OsError> startError; // for startDetached
};

class FakeTray final : public Tray {
    Q_OBJECT
public:
    bool isAvailable() const override { return available; }
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }
    void showBalloon(const QString& title, const QString& text) override { balloons.append({title, text}); }
    void setContextMenu(QMenu* m) override { menu = m; }
    void doubleClick() { emit doubleClicked(); }

    bool available = true;
    bool visible = false;
    QMenu* menu = nullptr;
    QList<QPair<QString, QString>> balloons;
};

// Keeps the shortcuts "on the desktop" in memory: the first request of a name creates it.
class FakeDesktopShortcut final : public DesktopShortcut {
public:
    Result create(const ShortcutRequest& request) override {
        requests.append(request);
        if (noFolder)
            return Result::NoDesktopFolder;
        if (fail)
            return Result::Failed;
        if (created.contains(request.name))
            return Result::AlreadyThere;
        created.append(request.name);
        return Result::Created;
    }
    QString desktopFolder() const override {
        return noFolder ? folder : QStringLiteral("/home/user/Desktop");
    }
    QList<ShortcutRequest> requests;
    QStringList created;
    bool fail = false;
    bool noFolder = false;
    QString folder; // the missing folder when noFolder
};

// Scripted drives: the mounts and the space of each mount point. A mount point without space fails its
// query; one in `hung` does not answer until release() (queries run on worker threads).
class FakeDrives final : public Drives {
public:
    ~FakeDrives() override;
    QList<DriveMount> mounts() override;
    std::optional<DriveSpace> space(const QString& mountPoint) override;
    // Lets hung queries return (failed) and waits until every query has returned.
    void release();
    // Whether the space of a mount point was asked for (queries run on worker threads).
    bool wasAsked(const QString& mountPoint);

    QList<DriveMount> drives;
    QHash<QString, DriveSpace> spaces;
    QSet<QString> hung;

private:
    QMutex m_mutex;
    QWaitCondition m_changed;
    bool m_released = false;
    int m_running = 0;
    QStringList m_asked;
};

// A text drawn on a recorded page: where its first line starts (top left, device units), with what font
// and pen, clipped to which box (empty when nothing clips it).
struct DrawnText {
    QPointF topLeft;
    QString text;
    QFont font;
    QColor pen;
    QRect clip;
};

// A printer that keeps what each job draws. `available` false stands for a machine without a printer.
class RecordingPrinting final : public Printing {
public:
    struct Job {
        QString title;
        QList<DrawnText> texts;
        QSize page;
    };
    bool printOnDefaultPrinter(const QString& jobTitle, const std::function<void(QPainter&)>& draw,
                               QString& error) override;

    bool available = true;
    QSize pageSize{4960, 7015}; // A4 at 600 dots per inch
    int dpi = 600;
    QList<Job> jobs;
};

} // namespace clipvane::test
