#include "Doubles.h"

#include "capture/CapturePipeline.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTest>
#include <QTextItem>

namespace clipvane::test {

Answer ScriptedDialogs::message(MessageKind kind, const QString& text, Buttons buttons) {
    shown.append({kind, text, buttons});
    if (onMessage)
        onMessage(shown.last());
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("Unexpected dialog: ") + text), __FILE__, __LINE__);
        return Answer::Closed;
    }
    return m_answers.dequeue();
}

FileDialogResult ScriptedDialogs::openFile(const FileDialogRequest& request) {
    fileShown.append({false, request});
    if (m_fileAnswers.isEmpty()) {
        QTest::qFail("Unexpected open dialog", __FILE__, __LINE__);
        return {};
    }
    return m_fileAnswers.dequeue();
}

FileDialogResult ScriptedDialogs::saveFile(const FileDialogRequest& request) {
    fileShown.append({true, request});
    if (m_fileAnswers.isEmpty()) {
        QTest::qFail("Unexpected save dialog", __FILE__, __LINE__);
        return {};
    }
    return m_fileAnswers.dequeue();
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Shown& s : shown)
        out.append(s.text);
    return out;
}

void FakeClipboard::copy(const QString& text) {
    ClipboardContent c;
    c.hasText = true;
    c.text = text;
    copyContent(c);
}

void FakeClipboard::copyContent(const ClipboardContent& c) {
    content = c;
    if (joined)
        emit changed();
    if (afterCopy)
        afterCopy();
}

void settleCaptures(const CapturePipeline* pipeline) {
    if (!pipeline || pipeline->deciding())
        return;
    QDeadlineTimer deadline(10000);
    while (pipeline->pending() > 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
}

HttpStatusResult FakeHttpClient::fetchStatus(const HttpStatusRequest& request) {
    statusRequests.append(request);
    if (onRequest)
        onRequest(request.url);
    const auto it = statuses.constFind(request.url);
    if (it == statuses.constEnd())
        return {};
    return {true, *it};
}

std::unique_ptr<HttpStatusBatch>
FakeHttpClient::startStatusBatch(QList<HttpStatusRequest> requests, HttpBatchLimits limits, QObject* context,
                                 std::function<void(HttpStatusResults)> onResults) {
    batchLimits.append(limits);
    struct Batch final : HttpStatusBatch {
        std::shared_ptr<bool> alive = std::make_shared<bool>(true);
        ~Batch() override { *alive = false; }
    };
    auto batch = std::make_unique<Batch>();
    for (int i = 0; i < int(requests.size()); ++i)
        QMetaObject::invokeMethod(
            context,
            [this, alive = batch->alive, onResults, i, request = requests[i]] {
                if (*alive)
                    onResults({{i, fetchStatus(request)}});
            },
            Qt::QueuedConnection);
    return batch;
}

HttpGetResult FakeHttpClient::get(const HttpGetRequest& request) {
    getRequests.append(request);
    if (onRequest)
        onRequest(request.url);
    return replies.value(request.url);
}

namespace {

// Keeps the texts drawn on it; everything else is ignored.
class RecordingEngine final : public QPaintEngine {
public:
    explicit RecordingEngine(QList<DrawnText>& out) : QPaintEngine(QPaintEngine::AllFeatures), m_out(out) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    // The defaults of these call each other: lines (an underline) would never end.
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawTextItem(const QPointF& baseline, const QTextItem& item) override {
        QPainter* p = painter();
        const QFontMetricsF metrics(item.font(), p->device());
        DrawnText t;
        t.text = item.text();
        t.font = p->font();
        t.pen = p->pen().color();
        t.topLeft = p->transform().map(QPointF(baseline.x(), baseline.y() - metrics.ascent()));
        if (p->hasClipping())
            t.clip = p->clipBoundingRect().toAlignedRect();
        m_out.append(t);
    }

private:
    QList<DrawnText>& m_out;
};

class RecordingPage final : public QPaintDevice {
public:
    RecordingPage(QSize size, int dpi, QList<DrawnText>& out) : m_size(size), m_dpi(dpi), m_engine(out) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmWidthMM:
            return m_size.width() * 254 / (10 * m_dpi);
        case PdmHeightMM:
            return m_size.height() * 254 / (10 * m_dpi);
        case PdmNumColors:
            return 1 << 24;
        case PdmDepth:
            return 24;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize m_size;
    int m_dpi;
    mutable RecordingEngine m_engine;
};

} // namespace

bool RecordingPrinting::printOnDefaultPrinter(const QString& jobTitle,
                                              const std::function<void(QPainter&)>& draw, QString& error) {
    if (!available) {
        error = QStringLiteral("There is no default printer.");
        return false;
    }
    Job job;
    job.title = jobTitle;
    job.page = pageSize;
    {
        RecordingPage page(pageSize, dpi, job.texts);
        QPainter painter(&page);
        draw(painter);
    }
    jobs.append(job);
    return true;
}

FakeDrives::~FakeDrives() {
    release();
}

QList<DriveMount> FakeDrives::mounts() {
    const QMutexLocker lock(&m_mutex);
    return drives;
}

std::optional<DriveSpace> FakeDrives::space(const QString& mountPoint) {
    QMutexLocker lock(&m_mutex);
    m_asked.append(mountPoint);
    if (hung.contains(mountPoint)) {
        ++m_running;
        while (!m_released)
            m_changed.wait(&m_mutex);
        --m_running;
        m_changed.wakeAll();
        return std::nullopt;
    }
    const auto it = spaces.constFind(mountPoint);
    if (it == spaces.cend())
        return std::nullopt;
    return *it;
}

bool FakeDrives::wasAsked(const QString& mountPoint) {
    const QMutexLocker lock(&m_mutex);
    return m_asked.contains(mountPoint);
}

void FakeDrives::release() {
    QMutexLocker lock(&m_mutex);
    m_released = true;
    m_changed.wakeAll();
    while (m_running > 0)
        m_changed.wait(&m_mutex);
}

} // namespace clipvane::test
